// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and redo through the journal, the write tied to the scan, one writer at
// a time, and the journal's place when the movie's folder takes no new file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "replace/history.h"
#include "replace/journal.h"
#include "replace/scene_writer.h"
#include "support/bmp_fixture.h"
#include "support/fake_host.h"
#include "workflow/history_steps.h"
#include "workflow/load_picture.h"
#include "workflow/open_movie.h"

namespace orvane {
namespace {

using testing::Bytes;

constexpr std::size_t kAt[] = {300, 300 + record::kRecordBytes + 17, 300 + 2 * record::kRecordBytes + 90,
                               300 + 3 * record::kRecordBytes + 91};

Bytes movieWith(int seedOffset) {
  Bytes m = testing::filler(kAt[3] + record::kRecordBytes + 50, 9);
  for (int i = 0; i < 4; ++i) testing::put(m, kAt[i], testing::makeRecord(i + 1 + seedOffset));
  return m;
}

struct UndoTest : ::testing::Test {
  testing::FakeHost host;
  Core core{host};
  testing::TempDir dir{testing::memoryFolder()};
  std::string movie = dir.file("u.3mm");
  Bytes original = movieWith(0);

  void SetUp() override {
    testing::writeFile(movie, original);
    ASSERT_TRUE(loadfile3(core, movie));
    ASSERT_EQ(core.s.piccount, 4);
  }
  void usePicture(int seed) {
    acceptPicture(core, testing::pictureRows([seed](int x, int y) { return testing::seededPixel(x, y, seed); }));
  }
  History history() {
    const auto journal = Journal::load(systemFileLayer(), movie);
    EXPECT_TRUE(journal);
    return readHistory(journal->records());
  }
  // The previews in the store hold what the movie holds (what the grid and an export show).
  bool storeMatchesFile() const {
    const Bytes now = testing::readFile(movie);
    for (int n = 1; n <= 4; ++n)
      for (int y = 0; y < record::kRows; ++y)
        for (int j = 0; j < record::kRowBytes; ++j)
          if (core.s.previewByte(n, y, j) != now[kAt[n - 1] + y * record::kRowBytes + j]) return false;
    return true;
  }
};

TEST_F(UndoTest, TwentyReplacementsUndoneGiveTheOriginalBackAndRedoneGiveThemAgain) {
  for (int i = 0; i < 20; ++i) {
    usePicture(30 + i);
    ASSERT_TRUE(writeBufferToScene(core, 1 + (i * 3) % 4));  // previews 1, 4, 3, 2, 1, ...: each one several times
  }
  EXPECT_TRUE(storeMatchesFile());
  const Bytes replaced = testing::readFile(movie);
  EXPECT_EQ(history().replacements.size(), 20u);

  for (int i = 0; i < 20; ++i) ASSERT_TRUE(undoReplace(core)) << i;
  EXPECT_EQ(testing::readFile(movie), original);
  EXPECT_TRUE(storeMatchesFile());
  for (const auto& r : history().replacements) EXPECT_EQ(r.state, ReplacementState::Undone);
  host.boxes.clear();
  EXPECT_FALSE(undoReplace(core));
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].title, "Nothing to undo");

  for (int i = 0; i < 20; ++i) ASSERT_TRUE(redoReplace(core)) << i;
  EXPECT_EQ(testing::readFile(movie), replaced);
  EXPECT_NE(host.lines.back().find("Replace:Replacement of scene preview "), std::string::npos);

  // Written since the last scan, the movie takes a further replacement: the scan's facts followed.
  usePicture(99);
  EXPECT_TRUE(writeBufferToScene(core, 2));
}

TEST_F(UndoTest, UndoAfterAnOutsideChangeIsRefusedAndChangesNothing) {
  usePicture(5);
  ASSERT_TRUE(writeBufferToScene(core, 2));
  Bytes changed = testing::readFile(movie);
  changed[kAt[1] + 2 + 146 * 40] ^= 1;  // one pixel, by another program
  testing::writeFile(movie, changed);
  const Bytes journal = testing::readFile(movie + ".orvane-journal");

  host.boxes.clear();
  EXPECT_FALSE(undoReplace(core));
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].title, "Can't undo");
  EXPECT_NE(host.boxes[0].text.find("Scene preview 2 was changed since"), std::string::npos) << host.boxes[0].text;
  EXPECT_EQ(testing::readFile(movie), changed);
  EXPECT_EQ(testing::readFile(movie + ".orvane-journal"), journal);
}

TEST_F(UndoTest, AMovieChangedOrSwappedSinceTheScanIsNeverWritten) {
  usePicture(6);
  const auto refusedLeaving = [&](const Bytes& expected) {
    host.boxes.clear();
    EXPECT_FALSE(writeBufferToScene(core, 1));
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].title, "Movie changed");
    EXPECT_EQ(testing::readFile(movie), expected);
  };
  // Another movie with records at the same places, moved over this one.
  const Bytes other = movieWith(10);
  testing::writeFile(dir.file("other.3mm"), other);
  std::filesystem::rename(dir.file("other.3mm"), movie);
  refusedLeaving(other);

  // The same file, one record rewritten in place with its time put back: only its bytes tell.
  ASSERT_TRUE(loadfile3(core, movie));
  struct stat before {};
  ASSERT_EQ(::stat(movie.c_str(), &before), 0);
  Bytes edited = other;
  edited[kAt[0] + 500] ^= 1;
  testing::writeFile(movie, edited);
  const timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, movie.c_str(), times, 0), 0);
  refusedLeaving(edited);

  // A link opened, then pointed at another movie.
  const std::string link = dir.file("link.3mm");
  testing::writeFile(dir.file("a.3mm"), original);
  std::filesystem::create_symlink(dir.file("a.3mm"), link);
  ASSERT_TRUE(loadfile3(core, link));
  std::filesystem::remove(link);
  std::filesystem::create_symlink(movie, link);
  host.boxes.clear();
  EXPECT_FALSE(writeBufferToScene(core, 1));
  EXPECT_EQ(host.boxes.at(0).title, "Movie changed");
  EXPECT_EQ(testing::readFile(movie), edited);
  EXPECT_EQ(testing::readFile(dir.file("a.3mm")), original);
}

TEST_F(UndoTest, ASecondWriterWaitsBrieflyThenIsToldWhy) {
  usePicture(7);
  auto other = systemFileLayer().open(movie, OpenMode::ReadWrite);
  ASSERT_TRUE(other);
  ASSERT_TRUE((*other)->tryLock());
  core.lockPatience = std::chrono::milliseconds(30);
  EXPECT_FALSE(writeBufferToScene(core, 1));
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].title, "Movie in use");
  EXPECT_NE(host.boxes[0].text.find("Another program is writing to this movie"), std::string::npos);
  EXPECT_EQ(testing::readFile(movie), original);
  ASSERT_TRUE((*other)->close());
  EXPECT_TRUE(writeBufferToScene(core, 1));
}

// A folder that takes no new file (read-only, or not ours): the journal goes
// to the user's state folder, and is found there again.
struct NoNewFilesBeside final : FileLayer {
  std::string allowed;  // the only folder where files may be created
  bool exists(const std::string& p) override { return systemFileLayer().exists(p); }
  Result<std::unique_ptr<OpenFile>> open(const std::string& p, OpenMode m) override {
    return systemFileLayer().open(p, m);
  }
  Result<std::unique_ptr<OpenFile>> openOrCreate(const std::string& p) override {
    if (p.rfind(allowed, 0) != 0) return Error{ErrorCode::AccessDenied, "Read-only file system"};
    return systemFileLayer().openOrCreate(p);
  }
  Status flushFolder(const std::string& f) override { return systemFileLayer().flushFolder(f); }
  Status makeFolders(const std::string& f) override { return systemFileLayer().makeFolders(f); }
};

TEST_F(UndoTest, AFolderThatTakesNoNewFileSendsTheJournalToTheStateFolder) {
  testing::TempDir state;
  const char* saved = std::getenv("XDG_STATE_HOME");
  const std::string savedValue = saved ? saved : "";
  ::setenv("XDG_STATE_HOME", state.path().c_str(), 1);
  NoNewFilesBeside files;
  files.allowed = state.path().string();

  usePicture(8);
  EXPECT_TRUE(writeBufferToScene(core, 3, files));
  EXPECT_FALSE(std::filesystem::exists(movie + ".orvane-journal"));
  const std::string place = journalPlaces(movie).state;
  EXPECT_EQ(place.rfind(state.path().string() + "/orvane/journals/u.3mm-", 0), 0u) << place;
  EXPECT_TRUE(std::filesystem::exists(place));
  EXPECT_TRUE(availableSteps(movie, files)->undo);
  EXPECT_TRUE(undoReplace(core, files));
  EXPECT_EQ(testing::readFile(movie), original);

  if (saved)
    ::setenv("XDG_STATE_HOME", savedValue.c_str(), 1);
  else
    ::unsetenv("XDG_STATE_HOME");
}

}  // namespace
}  // namespace orvane
