// SPDX-License-Identifier: GPL-3.0-or-later
// Two orvane-cli processes replacing the same preview with different pictures
// at the same moment: the record always ends up holding one picture wholly,
// the one that says "Done" last, and the journal tells exactly that.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <iostream>

#include "replace/journal.h"
#include "support/bmp_fixture.h"
#include "support/journal_check.h"

namespace orvane {
namespace {

using testing::Bytes;

pid_t replaceInChild(const std::string& movie, const std::string& picture) {
  const pid_t child = fork();
  if (child == 0) {
    const int quiet = ::open("/dev/null", O_WRONLY);
    ::dup2(quiet, 1);
    ::dup2(quiet, 2);
    ::execl(ORVANE_CLI_PATH, "orvane-cli", "replace", movie.c_str(), "1", picture.c_str(), nullptr);
    _exit(127);
  }
  return child;
}

int exitCode(pid_t child) {
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ConcurrentWriters, TwoReplacementsOfOnePreviewLeaveOnePictureWhole) {
  testing::TempDir dir{testing::memoryFolder()};
  const std::string movie = dir.file("c.3mm");
  constexpr std::size_t kAt = 777;
  Bytes original = testing::filler(kAt + record::kRecordBytes + 100, 2);
  testing::put(original, kAt, testing::makeRecord(3));
  std::vector<Bytes> rows;
  std::vector<std::string> pictures;
  for (int seed : {21, 22}) {
    const auto pixel = [seed](int x, int y) { return testing::seededPixel(x, y, seed); };
    pictures.push_back(dir.file("p" + std::to_string(seed) + ".bmp"));
    testing::writeFile(pictures.back(), testing::validBmp(testing::pictureRows(pixel)));
    rows.push_back(testing::makeRecord(pixel));
    rows.back().resize(record::kTrailerOffset);
  }

  int bothDone = 0, oneRefused = 0;
  for (int round = 0; round < 100; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    testing::writeFile(movie, original);
    std::filesystem::remove(movie + ".orvane-journal");
    const pid_t a = replaceInChild(movie, pictures[0]);
    const pid_t b = replaceInChild(movie, pictures[1]);
    const int codes[2] = {exitCode(a), exitCode(b)};

    const Bytes after = testing::readFile(movie);
    const auto journal = Journal::load(systemFileLayer(), movie, JournalRead::Whole);
    ASSERT_TRUE(journal);
    const auto settled = testing::checkSettled(after, original, {kAt}, rows, journal->records());
    ASSERT_EQ(settled.problem, "");
    const Bytes record(after.begin() + kAt, after.begin() + kAt + record::kTrailerOffset);
    const int winner = record == rows[0] ? 0 : record == rows[1] ? 1 : -1;
    ASSERT_NE(winner, -1) << "the record holds neither picture";
    EXPECT_EQ(codes[winner], 0) << "the picture in the movie was not reported done";
    EXPECT_TRUE(codes[1 - winner] == 0 || codes[1 - winner] == 1);
    (codes[1 - winner] == 0 ? bothDone : oneRefused)++;
  }
  std::cout << "[ figures  ] two writers, 100 rounds: one picture wholly every time; both done one after the other "
            << bothDone << ", the second refused " << oneRefused << "\n";
}

}  // namespace
}  // namespace orvane
