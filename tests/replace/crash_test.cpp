// SPDX-License-Identifier: GPL-3.0-or-later
// Interrupted writes: a child process killed at every step of a replacement
// and of an undo, and at random moments of a run of them; and power cuts at
// every flush, in a file layer that loses what was not flushed. After the
// movie is next opened every record must be whole (old or new), nothing else
// changed, and the journal must tell exactly what the movie holds.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <thread>

#include "replace/journal.h"
#include "replace/scene_writer.h"
#include "replace/undo.h"
#include "sample_data.h"
#include "support/bmp_fixture.h"
#include "support/fake_host.h"
#include "support/journal_check.h"
#include "support/power_loss_files.h"
#include "workflow/load_picture.h"
#include "workflow/open_movie.h"

namespace orvane {
namespace {

using testing::Bytes;

constexpr std::size_t kAt1 = 1000, kAt2 = kAt1 + record::kRecordBytes + 501;

std::uint8_t pixelA(int x, int y) { return testing::seededPixel(x, y, 11); }
std::uint8_t pixelB(int x, int y) { return testing::seededPixel(x, y, 12); }
Bytes rowsOf(std::uint8_t (*pixel)(int, int)) {
  Bytes r = testing::makeRecord(pixel);
  r.resize(record::kTrailerOffset);
  return r;
}
RecordPicture pictureOf(std::uint8_t (*pixel)(int, int)) {
  RecordPicture picture;
  readRecordRows(rowsOf(pixel), picture);
  return picture;
}

Bytes originalMovie() {
  Bytes m = testing::filler(kAt2 + record::kRecordBytes + 400, 7);
  testing::put(m, kAt1, testing::makeRecord(1));
  testing::put(m, kAt2, testing::makeRecord(2));
  return m;
}

void usePicture(Core& core, std::uint8_t (*pixel)(int, int)) { acceptPicture(core, testing::pictureRows(pixel)); }

// Passes every call to the real files, and kills the process (SIGKILL) just
// before call number `killAt`; with `tornBytes`, the movie's row block is
// written only that far (a write the kernel took in pieces) and then the
// process is killed.
struct StepKiller final : FileLayer {
  int killAt = -1;
  std::size_t tornBytes = 0;
  int tornBlock = 0;  // which of the movie's row blocks is torn (0: the first)
  int steps = 0;
  int blocks = 0;

  void step() {
    if (steps++ == killAt) ::raise(SIGKILL);
  }
  struct File final : OpenFile {
    StepKiller& k;
    std::unique_ptr<OpenFile> real;
    bool movie;
    File(StepKiller& killer, std::unique_ptr<OpenFile> f, bool isMovie)
        : k(killer), real(std::move(f)), movie(isMovie) {}
    Result<std::uint64_t> length() override { return k.step(), real->length(); }
    Result<std::size_t> readAt(std::uint64_t at, std::span<std::uint8_t> out) override {
      return k.step(), real->readAt(at, out);
    }
    Result<std::size_t> writeAt(std::uint64_t at, std::span<const std::uint8_t> data) override {
      k.step();
      if (movie && k.tornBytes && data.size() == record::kTrailerOffset && k.blocks++ == k.tornBlock) {
        (void)real->writeAt(at, data.first(k.tornBytes));
        ::raise(SIGKILL);
      }
      return real->writeAt(at, data);
    }
    Status flush() override { return k.step(), real->flush(); }
    Result<FileIdentity> identity() override { return k.step(), real->identity(); }
    Status tryLock() override { return k.step(), real->tryLock(); }
    Status close() override { return k.step(), real->close(); }
  };
  Result<std::unique_ptr<OpenFile>> wrap(Result<std::unique_ptr<OpenFile>> f, const std::string& path) {
    if (!f) return f.error();
    return std::unique_ptr<OpenFile>(std::make_unique<File>(*this, std::move(*f), path.ends_with(".3mm")));
  }
  bool exists(const std::string& path) override { return step(), systemFileLayer().exists(path); }
  Result<std::unique_ptr<OpenFile>> open(const std::string& path, OpenMode mode) override {
    step();
    return wrap(systemFileLayer().open(path, mode), path);
  }
  Result<std::unique_ptr<OpenFile>> openOrCreate(const std::string& path) override {
    step();
    return wrap(systemFileLayer().openOrCreate(path), path);
  }
  Status flushFolder(const std::string& f) override { return step(), systemFileLayer().flushFolder(f); }
  Status makeFolders(const std::string& f) override { return step(), systemFileLayer().makeFolders(f); }
};

// A replacement of preview 1, its undo; both previews replaced in one step
// (pixelA over 1, pixelB over 2), and its undo.
enum class Act { Replace, Undo, Batch, UndoBatch };

Status replaceBoth(Core& core, FileLayer& files) {
  return writeScenes(core, {{1, pictureOf(pixelA)}, {2, pictureOf(pixelB)}}, files);
}

struct CrashTest : ::testing::Test {
  testing::TempDir dir{testing::memoryFolder()};
  // One working set for the whole test, the children's copies included:
  // making one costs more than a whole round.
  testing::FakeHost host;
  Core core{host};
  std::string movie = dir.file("m.3mm");
  Bytes original = originalMovie();
  const std::vector<Bytes> pictures{rowsOf(pixelA), rowsOf(pixelB)};

  void SetUp() override { testing::writeFile(movie, original); }
  void reset() {
    testing::writeFile(movie, original);
    std::filesystem::remove(movie + ".orvane-journal");
  }
  // A replacement of preview 1 (or of both, in one step), made and marked,
  // for an undo to take back.
  void replaceOnce(bool both = false) {
    ASSERT_TRUE(loadfile3(core, movie));
    usePicture(core, pixelA);
    ASSERT_TRUE(both ? replaceBoth(core, systemFileLayer()).ok() : writeBufferToScene(core, 1).ok());
  }
  // Runs `act` in a child with the step killer; returns how many steps it
  // took when it was not killed.
  int runChild(Act act, int killAt, std::size_t tornBytes = 0, int tornBlock = 0) {
    const pid_t child = fork();
    if (child == 0) {
      StepKiller killer;
      killer.killAt = killAt;
      killer.tornBytes = tornBytes;
      killer.tornBlock = tornBlock;
      if (act == Act::Replace || act == Act::Batch) {
        if (!loadfile3(core, movie)) _exit(254);
        usePicture(core, pixelA);
        if (!(act == Act::Replace ? writeBufferToScene(core, 1, killer).ok() : replaceBoth(core, killer).ok()))
          _exit(255);
      } else if (!stepHistory(core, movie, HistoryStep::Undo, killer)) {
        _exit(255);
      }
      _exit(killer.steps);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // The movie and its journal as they were before a run (an empty journal: none).
  void restore(const Bytes& movieBytes, const Bytes& journalBytes) {
    testing::writeFile(movie, movieBytes);
    if (journalBytes.empty())
      std::filesystem::remove(movie + ".orvane-journal");
    else
      testing::writeFile(movie + ".orvane-journal", journalBytes);
  }
  // After a run: opened and settled, every record whole and as the history says.
  void expectSettled(int& killPoints) {
    const auto settled = openAndCheck();
    EXPECT_EQ(settled.problem, "");
    EXPECT_EQ(settled.bytesLost, 0u);
    ++killPoints;
  }
  // Opens the movie as the window would (settling what was interrupted) and
  // checks the result.
  testing::Settlement openAndCheck() {
    EXPECT_TRUE(loadfile3(core, movie));
    const auto journal = Journal::load(systemFileLayer(), movie, JournalRead::Whole);
    EXPECT_TRUE(journal);
    return testing::checkSettled(testing::readFile(movie), original, {kAt1, kAt2}, pictures, journal->records());
  }
  // How many interrupted writes the openings so far settled this way.
  long settledAs(const char* how) const {
    return std::count_if(host.lines.begin(), host.lines.end(),
                         [how](const std::string& l) { return l.find(how) != std::string::npos; });
  }
};

TEST_F(CrashTest, KilledAtEveryStepOfAReplacementAndOfAnUndo) {
  int killPoints = 0;
  std::string stepCounts;
  for (const Act act : {Act::Replace, Act::Undo}) {
    reset();
    if (act == Act::Undo) replaceOnce();
    const Bytes start = testing::readFile(movie);
    const Bytes startJournal = testing::readFile(movie + ".orvane-journal");
    const int steps = runChild(act, -1);
    ASSERT_GT(steps, 10) << "the uninterrupted run failed";
    stepCounts += (act == Act::Replace ? "replacement " : ", undo ") + std::to_string(steps) + " steps";
    std::vector<std::size_t> torn{0, 1476, 5572, 9668};
    for (int k = 0; k <= steps; ++k) {
      for (const std::size_t t : k == 0 ? torn : std::vector<std::size_t>{0}) {
        SCOPED_TRACE("act " + std::to_string(static_cast<int>(act)) + ", killed before step " + std::to_string(k) +
                     ", torn at " + std::to_string(t));
        restore(start, startJournal);
        runChild(act, t ? -1 : k, t);
        expectSettled(killPoints);
      }
    }
  }
  std::cout << "[ figures  ] kill points (" << stepCounts << ", each killed before every step and after the last,"
            << " and 3 torn row writes each): " << killPoints
            << " (interrupted writes kept whole: " << settledAs("was kept")
            << ", taken back: " << settledAs("was taken back") << "), bytes lost: 0\n";
}

// A step over two scenes: killed at every step, and with either scene's rows
// torn, every scene ends all old or all new, and both the same.
TEST_F(CrashTest, KilledAtEveryStepOfATwoSceneStepAndOfItsUndo) {
  int killPoints = 0;
  std::string stepCounts;
  for (const Act act : {Act::Batch, Act::UndoBatch}) {
    reset();
    if (act == Act::UndoBatch) replaceOnce(true);
    const Bytes start = testing::readFile(movie);
    const Bytes startJournal = testing::readFile(movie + ".orvane-journal");
    const int steps = runChild(act, -1);
    ASSERT_GT(steps, 10) << "the uninterrupted run failed";
    stepCounts += (act == Act::Batch ? "two-scene step " : ", its undo ") + std::to_string(steps) + " steps";
    for (int k = 0; k <= steps; ++k) {
      SCOPED_TRACE("killed before step " + std::to_string(k));
      restore(start, startJournal);
      runChild(act, k);
      expectSettled(killPoints);
    }
    for (const int block : {0, 1}) {
      for (const std::size_t t : {1476, 9668}) {
        SCOPED_TRACE("block " + std::to_string(block) + " torn at " + std::to_string(t));
        restore(start, startJournal);
        runChild(act, -1, t, block);
        expectSettled(killPoints);
      }
    }
  }
  std::cout << "[ figures  ] kill points (" << stepCounts << ", each killed before every step and after the last,"
            << " and either scene's rows torn twice): " << killPoints
            << " (interrupted writes kept whole: " << settledAs("was kept")
            << ", taken back: " << settledAs("was taken back") << "), bytes lost: 0\n";
}

// Undo and redo too: the child goes on replacing, undoing and redoing until
// it is killed at a random moment.
TEST_F(CrashTest, KilledAtRandomMoments) {
  const char* asked = std::getenv("ORVANE_RANDOM_KILLS");
  const int rounds = asked ? std::atoi(asked) : 200;
  sample::Rng rng(20240611);
  int interrupted = 0;
  for (int round = 0; round < rounds; ++round) {
    reset();
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
      if (!loadfile3(core, movie)) _exit(1);
      (void)!write(ready[1], "r", 1);
      for (int i = 0;; ++i) {
        usePicture(core, i % 2 ? pixelA : pixelB);
        (void)writeBufferToScene(core, 1 + i % 2);
        if (i % 3 == 2) (void)stepHistory(core, movie, HistoryStep::Undo);
        if (i % 5 == 4) (void)stepHistory(core, movie, HistoryStep::Redo);
      }
    }
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    close(ready[0]);
    close(ready[1]);
    std::this_thread::sleep_for(std::chrono::microseconds(rng() % 4000));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    const auto journal = Journal::load(systemFileLayer(), movie, JournalRead::Whole);
    ASSERT_TRUE(journal);
    interrupted += !unmarkedWrites(journal->records()).empty();
    SCOPED_TRACE("round " + std::to_string(round));
    const auto settled = openAndCheck();
    ASSERT_EQ(settled.problem, "");
  }
  std::cout << "[ figures  ] random kills: " << rounds << ", of them in the middle of a write: " << interrupted
            << " (kept whole: " << settledAs("was kept") << ", taken back: " << settledAs("was taken back")
            << "), bytes lost: 0\n";
}

// Power cuts, in memory: a replacement of each preview, a second one of the
// first, an undo and a redo, cut at every flush; and each recovery that had
// work to do cut at every one of its own flushes, then run again.
struct PowerLossTest : ::testing::Test {
  const std::string movie = "/power/m.3mm";
  const Bytes original = originalMovie();
  const std::vector<Bytes> pictures{rowsOf(pixelA), rowsOf(pixelB)};

  void run(testing::PowerLossFiles& files) {
    testing::FakeHost host;
    Core core(host);
    if (!loadfile3(core, movie, ScanTuning{}, files)) return;
    usePicture(core, pixelA);
    (void)writeBufferToScene(core, 1, files);
    usePicture(core, pixelB);
    (void)writeBufferToScene(core, 2, files);
    (void)writeBufferToScene(core, 1, files);
    (void)stepHistory(core, movie, HistoryStep::Undo, files);
    (void)stepHistory(core, movie, HistoryStep::Redo, files);
  }
  // Opens the movie (settling it) with power to spare; returns the disk after.
  testing::PowerLossFiles::Disk open(const testing::PowerLossFiles::Disk& disk, int cut = -1, int* flushes = nullptr) {
    testing::PowerLossFiles files(disk, cut);
    testing::FakeHost host;
    Core core(host);
    (void)loadfile3(core, movie, ScanTuning{}, files);
    if (flushes) *flushes = files.flushes();
    return files.survivors();
  }
  testing::Settlement check(const testing::PowerLossFiles::Disk& disk) {
    testing::PowerLossFiles files(disk);
    const auto journal = Journal::load(files, movie, JournalRead::Whole);
    EXPECT_TRUE(journal);
    return testing::checkSettled(disk.at(movie), original, {kAt1, kAt2}, pictures, journal->records());
  }
};

// Runs `steps` with the power cut after every flush, unflushed writes lost
// or kept, and each recovery cut at every one of its flushes too; every time
// the movie must end as its history says. Returns the figures line's middle.
std::string cutEverywhere(PowerLossTest& t, const std::function<void(testing::PowerLossFiles&)>& steps, int& flushes) {
  const testing::PowerLossFiles::Disk start{{t.movie, t.original}};
  testing::PowerLossFiles whole(start);
  steps(whole);
  flushes = whole.flushes();
  EXPECT_EQ(t.check(whole.survivors()).problem, "");

  int cuts = 0, recoveryCuts = 0;
  for (int k = 0; k <= flushes; ++k) {
    for (const bool keepUnflushed : {false, true}) {
      SCOPED_TRACE("cut after flush " + std::to_string(k) + (keepUnflushed ? ", unflushed writes kept" : ""));
      testing::PowerLossFiles files(start, k);
      steps(files);
      const auto afterCut = files.survivors(keepUnflushed);
      ++cuts;
      int recoveryFlushes = 0;
      const auto settled = t.open(afterCut, -1, &recoveryFlushes);
      const auto result = t.check(settled);
      EXPECT_EQ(result.problem, "");
      EXPECT_EQ(result.bytesLost, 0u);
      // The recovery itself cut short, then run again.
      for (int j = 0; j < recoveryFlushes; ++j, ++recoveryCuts)
        EXPECT_EQ(t.check(t.open(t.open(afterCut, j))).problem, "") << "recovery cut after flush " << j;
    }
  }
  return std::to_string(cuts) + " (" + std::to_string(flushes + 1) +
         " flush boundaries, unflushed writes lost or kept), recoveries cut: " + std::to_string(recoveryCuts);
}

TEST_F(PowerLossTest, CutAtEveryFlushBoundaryNothingIsLostOrMixed) {
  int flushes = 0;
  const std::string figures = cutEverywhere(
      *this, [this](testing::PowerLossFiles& files) { run(files); }, flushes);
  EXPECT_GE(flushes, 16);  // 4 for the first replacement (the new journal's folder too), 3 for each next step
  std::cout << "[ figures  ] power cuts: " << figures << ", bytes lost: 0\n";
}

// A step over both scenes, its undo and its redo: one flush of the movie for
// both scenes, so a cut can leave either, both or neither of them written.
TEST_F(PowerLossTest, ATwoSceneStepCutAtEveryFlushIsWhollyInOrWhollyOut) {
  const auto steps = [this](testing::PowerLossFiles& files) {
    testing::FakeHost host;
    Core core(host);
    if (!loadfile3(core, movie, ScanTuning{}, files)) return;
    (void)replaceBoth(core, files);
    (void)stepHistory(core, movie, HistoryStep::Undo, files);
    (void)stepHistory(core, movie, HistoryStep::Redo, files);
  };
  int flushes = 0;
  const std::string figures = cutEverywhere(*this, steps, flushes);
  EXPECT_EQ(flushes, 10);  // 4 for the step (the new journal's folder too), 3 each for its undo and redo
  std::cout << "[ figures  ] power cuts of two-scene steps: " << figures << ", bytes lost: 0\n";
}

}  // namespace
}  // namespace orvane
