// The scene writer in a child process whose file-size limit stops the write for
// real: the kernel cuts the block short, or ends the process with SIGXFSZ. The
// record must hold all its old bytes or all its new ones afterwards, and every
// other byte of the movie must be unchanged.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <ostream>
#include <string>

#include "previews/record_format.h"
#include "workflow/load_picture.h"
#include "replace/scene_writer.h"
#include "support/bmp_fixture.h"
#include "support/fake_host.h"
#include "support/movie_builder.h"

namespace orvane {
namespace {

constexpr std::size_t kAt = 4099;  // the record's zero-based offset

struct LimitCase {
  std::size_t limitFromRecord;  // the size limit, counted from the record's first byte
  bool killed;                  // whether the kernel ends the process
};

// "limit 5000 bytes into the record, killed", in failure messages.
void PrintTo(const LimitCase& c, std::ostream* os) {
  *os << "limit " << c.limitFromRecord << " bytes into the record, " << (c.killed ? "killed" : "not killed");
}

class WriterKillTest : public ::testing::TestWithParam<LimitCase> {};

TEST_P(WriterKillTest, RecordIsAllOldOrAllNewAndNothingElseChanges) {
  testing::TempDir dir;
  const std::string movie = dir.file("m.3mm");
  const std::string picture = dir.file("p.bmp");
  testing::Bytes bytes = testing::filler(kAt + record::kRecordBytes + 777, 3);
  testing::put(bytes, kAt, testing::makeRecord(9));
  testing::writeFile(movie, bytes);
  testing::writeFile(picture, testing::validBmp(testing::pictureRows([](int x, int y) { return testing::seededPixel(x, y, 2); })));

  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    testing::FakeHost host;
    Core core(host);
    if (!loadblimp(core, picture)) _exit(10);
    core.s.moviefile = movie;
    core.s.piccount = 1;
    core.s.picpos[1][1] = static_cast<std::int32_t>(kAt + 1);
    const rlimit limit{kAt + GetParam().limitFromRecord, RLIM_INFINITY};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(11);
    const bool written = begin(core, 1).ok();
    // Told the user: a critical box naming the movie.
    const bool told = !host.boxes.empty() && host.boxes.back().icon == BoxIcon::Critical &&
                      host.boxes.back().text.find(movie) != std::string::npos;
    _exit(written ? 1 : told ? 0 : 2);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  if (GetParam().killed) {
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
  } else {
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }

  const testing::Bytes after = testing::readFile(movie);
  ASSERT_EQ(after.size(), bytes.size());
  EXPECT_TRUE(std::equal(after.begin(), after.end(), bytes.begin())) << "the old record was not kept whole";
}

INSTANTIATE_TEST_SUITE_P(Limits, WriterKillTest,
                         ::testing::Values(LimitCase{0, true},  // no byte may be written: killed at once
                                           LimitCase{1, false}, LimitCase{5000, false},
                                           LimitCase{record::kTrailerOffset - 1, false}),
                         [](const ::testing::TestParamInfo<LimitCase>& info) {
                           return "LimitAt" + std::to_string(info.param.limitFromRecord) +
                                  (info.param.killed ? "Killed" : "Survives");
                         });

}  // namespace
}  // namespace orvane
