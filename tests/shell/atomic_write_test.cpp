// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-file writes: the old file survives a failed write, nothing is left
// behind, and no link, folder or the movie itself is ever written over.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "shell/atomic_write.h"
#include "support/error_code_text.h"
#include "support/movie_builder.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;
using testing::Bytes;

std::vector<std::string> names(const fs::path& dir) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
  std::sort(out.begin(), out.end());
  return out;
}

TEST(AtomicWrite, CreatesAndReplacesLeavingOnlyTheTarget) {
  testing::TempDir dir;
  const std::string target = dir.file("out.bmp");
  ASSERT_TRUE(writeFileAtomically(target, Bytes{1, 2, 3}));
  EXPECT_EQ(testing::readFile(target), (Bytes{1, 2, 3}));
  ASSERT_TRUE(writeFileAtomically(target, Bytes(5000, 7)));
  EXPECT_EQ(testing::readFile(target), Bytes(5000, 7));
  EXPECT_EQ(names(dir.path()), std::vector<std::string>{"out.bmp"});
  EXPECT_FALSE(writeFileAtomically(dir.file("no/such/folder/x.bmp"), Bytes{1}));
}

TEST(AtomicWrite, RefusesLinksFoldersAndTheSourceWritingNothing) {
  testing::TempDir dir;
  const std::string movie = dir.file("m.3mm");
  const Bytes original(3000, 9);
  testing::writeFile(movie, original);
  fs::create_directory(dir.file("elsewhere"));
  fs::create_symlink(dir.file("elsewhere/escaped.bmp"), dir.file("dangling.bmp"));
  fs::create_symlink(movie, dir.file("to-movie.bmp"));
  fs::create_hard_link(movie, dir.file("hard.bmp"));
  fs::create_directory(dir.file("folder.bmp"));

  const Bytes bmp(100, 1);
  const auto refusal = [&](const char* name) {
    const Status written = writeFileAtomically(dir.file(name), bmp, movie);
    return written ? std::string("written") : testing::errorCodeText(written.error().code);
  };
  EXPECT_EQ(refusal("dangling.bmp"), testing::errorCodeText(ErrorCode::OutputIsLink));
  EXPECT_EQ(refusal("to-movie.bmp"), testing::errorCodeText(ErrorCode::OutputIsLink));
  EXPECT_EQ(refusal("folder.bmp"), testing::errorCodeText(ErrorCode::NotRegularFile));
  EXPECT_EQ(refusal("hard.bmp"), testing::errorCodeText(ErrorCode::OutputIsSource));
  EXPECT_EQ(refusal("./m.3mm"), testing::errorCodeText(ErrorCode::OutputIsSource));

  EXPECT_FALSE(fs::exists(dir.file("elsewhere/escaped.bmp")));
  EXPECT_TRUE(fs::is_symlink(dir.file("dangling.bmp")));
  EXPECT_EQ(testing::readFile(movie), original);
  EXPECT_EQ(names(dir.path()),
            (std::vector<std::string>{"dangling.bmp", "elsewhere", "folder.bmp", "hard.bmp", "m.3mm", "to-movie.bmp"}));
  EXPECT_NE(checkWriteTarget(dir.file("dangling.bmp")).error().message.find("link"), std::string::npos);
}

// A file-size limit stops the write half-way for real (the signal it raises
// is ignored, so the write call fails with EFBIG instead).
TEST(AtomicWrite, AFailedReplacementKeepsTheOldFileWhole) {
  testing::TempDir dir;
  const std::string target = dir.file("out.bmp");
  const Bytes old(200, 4);
  testing::writeFile(target, old);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{1000, RLIM_INFINITY};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(11);
    const Status written = writeFileAtomically(target, Bytes(12742, 8));
    _exit(!written && written.error().code == ErrorCode::TooLarge ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(testing::readFile(target), old);
  EXPECT_EQ(names(dir.path()), std::vector<std::string>{"out.bmp"});
}

}  // namespace
}  // namespace orvane
