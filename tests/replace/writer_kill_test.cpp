// SPDX-License-Identifier: GPL-3.0-or-later
// The scene writer in a child process whose file-size limit stops the write for
// real: the kernel cuts the journal's or the movie's block short, or refuses it
// (EFBIG, since the program ignores SIGXFSZ, as both programs' main() do). The
// record must hold all its old bytes or all its new ones afterwards, every
// other byte of the movie must be unchanged, and the user must be told.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ostream>
#include <string>

#include "previews/record_format.h"
#include "replace/scene_writer.h"
#include "shell/platform.h"
#include "support/bmp_fixture.h"
#include "support/fake_host.h"
#include "support/movie_builder.h"
#include "workflow/load_picture.h"
#include "workflow/open_movie.h"

namespace orvane {
namespace {

struct LimitCase {
  std::size_t at;               // the record's zero-based offset
  std::size_t limitFromRecord;  // the size limit, counted from the record's first byte
};

// "record at 4099, limit 5000 bytes into it", in failure messages.
void PrintTo(const LimitCase& c, std::ostream* os) {
  *os << "record at " << c.at << ", limit " << c.limitFromRecord << " bytes into it";
}

class WriterKillTest : public ::testing::TestWithParam<LimitCase> {};

TEST_P(WriterKillTest, RecordIsAllOldOrAllNewAndNothingElseChanges) {
  testing::TempDir dir;
  const std::string movie = dir.file("m.3mm");
  const std::string picture = dir.file("p.bmp");
  const std::size_t kAt = GetParam().at;
  testing::Bytes bytes = testing::filler(kAt + record::kRecordBytes + 777, 3);
  testing::put(bytes, kAt, testing::makeRecord(9));
  testing::writeFile(movie, bytes);
  testing::writeFile(
      picture, testing::validBmp(testing::pictureRows([](int x, int y) { return testing::seededPixel(x, y, 2); })));

  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ignoreFileSizeLimitSignal();
    testing::FakeHost host;
    Core core(host);
    if (!loadblimp(core, picture)) _exit(10);
    if (!loadfile3(core, movie) || core.s.piccount != 1) _exit(12);
    const rlimit limit{kAt + GetParam().limitFromRecord, RLIM_INFINITY};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(11);
    const bool written = writeBufferToScene(core, 1).ok();
    // Told the user: a critical box naming the movie.
    const bool told = !host.boxes.empty() && host.boxes.back().icon == BoxIcon::Critical &&
                      host.boxes.back().text.find(movie) != std::string::npos;
    _exit(written ? 1 : told ? 0 : 2);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);

  const testing::Bytes after = testing::readFile(movie);
  ASSERT_EQ(after.size(), bytes.size());
  EXPECT_TRUE(std::equal(after.begin(), after.end(), bytes.begin())) << "the old record was not kept whole";
}

// Near the start of the movie the limit stops the journal (about 24 KB), so the
// movie is never touched; far enough in, the journal fits and the limit stops
// the movie's own block, which is put back.
constexpr std::size_t kNear = 4099, kFar = 40001;
INSTANTIATE_TEST_SUITE_P(Limits, WriterKillTest,
                         ::testing::Values(LimitCase{kNear, 0},  // no byte may be written
                                           LimitCase{kNear, 1}, LimitCase{kNear, 5000},
                                           LimitCase{kNear, record::kTrailerOffset - 1}, LimitCase{kFar, 0},
                                           LimitCase{kFar, 1}, LimitCase{kFar, 5000},
                                           LimitCase{kFar, record::kTrailerOffset - 1}),
                         [](const ::testing::TestParamInfo<LimitCase>& info) {
                           return "RecordAt" + std::to_string(info.param.at) + "LimitAt" +
                                  std::to_string(info.param.limitFromRecord);
                         });

}  // namespace
}  // namespace orvane
