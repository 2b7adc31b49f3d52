// SPDX-License-Identifier: GPL-3.0-or-later
// Putting a whole folder back: the export's files, some retouched, go over
// their previews in one journaled step; everything else in the folder is left
// out and said why; a failure part-way leaves the movie as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>

#include "previews/record_format.h"
#include "replace/history.h"
#include "replace/journal.h"
#include "replace/scene_writer.h"
#include "support/bmp_fixture.h"
#include "support/fake_host.h"
#include "support/pass_through_files.h"
#include "workflow/history_steps.h"
#include "workflow/load_picture.h"
#include "workflow/open_movie.h"
#include "workflow/preview_export.h"
#include "workflow/put_back.h"

namespace orvane {
namespace {

using testing::Bytes;

constexpr int kPreviews = 6;
std::size_t offsetOf(int n) { return 700 + static_cast<std::size_t>(n - 1) * (record::kRecordBytes + 333); }

IndexPicture picture(int seed) {
  return testing::pictureRows([seed](int x, int y) { return testing::seededPixel(x, y, seed); });
}

struct PutBackTest : ::testing::Test {
  testing::FakeHost host;
  Core core{host};
  testing::TempDir dir{testing::memoryFolder()};
  std::string movie = dir.file("Scene.3mm");
  std::string folder = dir.file("out");
  Bytes original;

  void SetUp() override {
    original = testing::filler(offsetOf(kPreviews + 1), 6);
    for (int n = 1; n <= kPreviews; ++n) testing::put(original, offsetOf(n), testing::makeRecord(n));
    testing::writeFile(movie, original);
    ASSERT_TRUE(loadfile3(core, movie));
    ASSERT_EQ(core.s.piccount, kPreviews);
    std::filesystem::create_directory(folder);
    ASSERT_EQ(exportPreviews(core, exportPlan(core.s, folder), folder), kPreviews);
    host.lines.clear();
  }
  std::string file(const std::string& name) const { return (std::filesystem::path(folder) / name).string(); }
  void retouch(int n, const IndexPicture& rows) {
    char name[32];
    std::snprintf(name, sizeof name, "Scene-%03d.bmp", n);
    testing::writeFile(file(name), testing::validBmp(rows));
  }
  PutBackPlan plan() {
    auto p = planPutBack(core.s, folder, "bmp", bmpFileReader());
    EXPECT_TRUE(p);
    return p ? *p : PutBackPlan{};
  }
  std::vector<int> changed(const PutBackPlan& p) const {
    std::vector<int> n;
    for (const auto& c : p.changes) n.push_back(c.preview);
    return n;
  }
  bool logged(const std::string& line) const {
    return std::find(host.lines.begin(), host.lines.end(), "Replace:" + line + "\r\n") != host.lines.end();
  }
  std::vector<journal::Record> journalRecords() const {
    const auto j = Journal::load(systemFileLayer(), movie, JournalRead::Whole);
    EXPECT_TRUE(j);
    return j ? j->records() : std::vector<journal::Record>{};
  }
};

TEST_F(PutBackTest, ThreeRetouchedFilesChangeExactlyTheirRecordsInOneStepThatOneUndoTakesBack) {
  IndexPicture loud = picture(40);
  loud.at(0, 0) = 200;  // top-left pixel above 150: cleared, as loading it would
  retouch(2, picture(20));
  retouch(4, loud);
  retouch(6, picture(60));

  const PutBackPlan p = plan();
  EXPECT_EQ(changed(p), (std::vector<int>{2, 4, 6}));
  EXPECT_EQ(p.unchanged.size(), 3u);
  EXPECT_TRUE(p.refused.empty());
  EXPECT_TRUE(p.ignored.empty());
  ASSERT_TRUE(putPreviewsBack(core, p));

  Bytes expected = original;
  testing::put(expected, offsetOf(2), recordRows(loadedPicture(picture(20))));
  testing::put(expected, offsetOf(4), recordRows(loadedPicture(loud)));
  testing::put(expected, offsetOf(6), recordRows(loadedPicture(picture(60))));
  const Bytes after = testing::readFile(movie);
  EXPECT_EQ(after, expected);
  EXPECT_EQ(after[offsetOf(4) + 2], 0);
  EXPECT_TRUE(logged("Scene-004.bmp: colours above 150 cleared to 0, please recheck it."));
  EXPECT_TRUE(logged("Replaced scene previews 2, 4 and 6."));
  EXPECT_TRUE(logged("3 replaced, 3 unchanged, 0 refused, 0 ignored."));
  // The grid shows the result: the store holds what the movie holds.
  EXPECT_EQ(core.s.previewPixel(6, 0, 0), testing::seededPixel(0, 0, 60));

  // One entry with the three scenes, one line of history, one undo.
  const auto records = journalRecords();
  const History history = readHistory(records);
  ASSERT_EQ(history.replacements.size(), 1u);
  EXPECT_EQ(scenesText(*history.replacements[0].entry), "scene previews 2, 4 and 6");
  ASSERT_TRUE(undoReplace(core));
  EXPECT_EQ(testing::readFile(movie), original);
  EXPECT_TRUE(logged("Replacement of scene previews 2, 4 and 6 undone."));
}

TEST_F(PutBackTest, AnUnchangedFolderWritesNothingNotEvenAJournal) {
  const PutBackPlan p = plan();
  EXPECT_TRUE(p.changes.empty());
  EXPECT_EQ(p.unchanged.size(), static_cast<std::size_t>(kPreviews));
  ASSERT_TRUE(putPreviewsBack(core, p));
  EXPECT_EQ(testing::readFile(movie), original);
  EXPECT_FALSE(std::filesystem::exists(movie + ".orvane-journal"));
  EXPECT_TRUE(logged("Nothing to replace."));
  EXPECT_TRUE(logged("0 replaced, 6 unchanged, 0 refused, 0 ignored."));
}

TEST_F(PutBackTest, RefusedFilesAreToldAndTheOthersGoInOtherEntriesAreIgnored) {
  testing::writeFile(file("Scene-001.bmp"), testing::bmpOfDepth(24));
  Bytes rle = testing::validBmp(picture(7));
  testing::setLe32(rle, bmp::kCompression, 1);
  testing::writeFile(file("Scene-002.bmp"), rle);
  retouch(3, picture(30));
  testing::writeFile(file("Scene-009.bmp"), testing::validBmp(picture(9)));
  testing::writeFile(file("Scene-004.BMP"), testing::validBmp(picture(4)));  // a second file for preview 4
  // Not the export's names, not files, or not in the folder at all.
  testing::writeFile(file("Scene-05.bmp"), testing::validBmp(picture(5)));
  testing::writeFile(file("notes.txt"), Bytes{'h', 'i'});
  testing::writeFile(dir.file("outside.bmp"), testing::validBmp(picture(55)));
  std::filesystem::remove(file("Scene-005.bmp"));
  std::filesystem::create_symlink(dir.file("outside.bmp"), file("Scene-005.bmp"));
  std::filesystem::remove(file("Scene-006.bmp"));
  std::filesystem::create_directory(file("Scene-006.bmp"));

  const PutBackPlan p = plan();
  EXPECT_EQ(changed(p), std::vector<int>{3});
  std::map<std::string, std::string> refused, ignored;
  for (const auto& f : p.refused) refused[f.file] = f.why;
  for (const auto& f : p.ignored) ignored[f.file] = f.why;
  EXPECT_EQ(refused, (std::map<std::string, std::string>{
                         {"Scene-001.bmp", "it is not a 144 x 81, 8-bit, uncompressed, bottom-up BMP"},
                         {"Scene-002.bmp", "it is RLE (run length encoded): save it without compression"},
                         {"Scene-004.BMP", "more than one file for scene preview 4 (Scene-004.BMP, Scene-004.bmp)"},
                         {"Scene-004.bmp", "more than one file for scene preview 4 (Scene-004.BMP, Scene-004.bmp)"},
                         {"Scene-009.bmp", "the movie has no scene preview 9 (it holds 6)"}}));
  EXPECT_EQ(ignored, (std::map<std::string, std::string>{{"Scene-005.bmp", "a symbolic link (links are not followed)"},
                                                         {"Scene-006.bmp", "a folder"},
                                                         {"Scene-05.bmp", "not named Scene-NNN.bmp"},
                                                         {"notes.txt", "not named Scene-NNN.bmp"}}));

  ASSERT_TRUE(putPreviewsBack(core, p));
  Bytes expected = original;
  testing::put(expected, offsetOf(3), recordRows(loadedPicture(picture(30))));
  EXPECT_EQ(testing::readFile(movie), expected);
  EXPECT_TRUE(logged("Refused Scene-002.bmp: it is RLE (run length encoded): save it without compression."));
  EXPECT_TRUE(logged("Ignored Scene-005.bmp: a symbolic link (links are not followed)."));
  EXPECT_TRUE(logged("1 replaced, 0 unchanged, 5 refused, 4 ignored."));
}

TEST_F(PutBackTest, NamesTakenAndAnyExtensionForPicturesOfEveryFormat) {
  EXPECT_EQ(previewNumberIn("Scene-007.bmp", "Scene", "bmp"), 7);
  EXPECT_EQ(previewNumberIn("Scene-255.BMP", "Scene", "bmp"), 255);
  EXPECT_EQ(previewNumberIn("Scene-000.bmp", "Scene", "bmp"), 0);  // named like one: refused, not ignored
  EXPECT_EQ(previewNumberIn("Scene-007.png", "Scene", ""), 7);
  for (const char* other : {"Scene-007.png", "Scene-07.bmp", "Scene-0007.bmp", "scene-007.bmp", "Scene-007.bmp.bak",
                            "Scene-007.", "Scene-0a7.bmp", "Scene007.bmp", "Scene-007bmp"})
    EXPECT_EQ(previewNumberIn(other, "Scene", "bmp"), -1) << other;
  EXPECT_EQ(previewNumberIn("My.Movie-012.jpg", "My.Movie", ""), 12);
}

TEST_F(PutBackTest, ThePictureRowsAreWhatTheRoadThroughThePictureBufferWrites) {
  IndexPicture rows = picture(77);
  rows.at(5, 80) = 151;
  rows.at(143, 0) = 255;
  const auto direct = recordRows(loadedPicture(rows));
  acceptPicture(core, rows);
  EXPECT_EQ(direct, recordRows(core.s.pictureBuffer()));
  EXPECT_EQ(clearedPixels(rows), 2);
}

TEST_F(PutBackTest, OverlappingRecordsAreNeverWrittenInOneStep) {
  // Two previews whose records overlap (the scanner finds such pairs).
  core.s.recordPosition(2) = core.s.recordPosition(1) + 146;
  retouch(1, picture(11));
  retouch(2, picture(12));
  const PutBackPlan p = plan();
  EXPECT_EQ(changed(p), std::vector<int>{1});
  ASSERT_EQ(p.refused.size(), 1u);
  EXPECT_EQ(p.refused[0].file, "Scene-002.bmp");
  EXPECT_NE(p.refused[0].why.find("overlaps that of scene preview 1"), std::string::npos);
  const Status direct = writeScenes(core, {{1, loadedPicture(picture(11))}, {2, loadedPicture(picture(12))}});
  ASSERT_FALSE(direct);
  EXPECT_EQ(testing::readFile(movie), original);
}

// The movie's second block of rows fails half-way, as a full disk would.
struct SecondBlockFails final : testing::PassThroughFiles {
  int blocks = 0;
  struct File final : testing::PassThroughFile {
    SecondBlockFails& f;
    File(SecondBlockFails& owner, std::unique_ptr<OpenFile> real) : PassThroughFile(std::move(real)), f(owner) {}
    Result<std::size_t> writeAt(std::uint64_t at, std::span<const std::uint8_t> data) override {
      if (data.size() != record::kTrailerOffset || ++f.blocks != 2) return PassThroughFile::writeAt(at, data);
      (void)real().writeAt(at, data.first(data.size() / 2));
      return Error{ErrorCode::NoSpace, "No space left on device"};
    }
  };
  std::unique_ptr<OpenFile> wrap(std::unique_ptr<OpenFile> real) override {
    return std::make_unique<File>(*this, std::move(real));
  }
};

TEST_F(PutBackTest, AFailurePartWayPutsEverySceneBackAndSaysSo) {
  retouch(1, picture(21));
  retouch(5, picture(25));
  retouch(6, picture(26));
  SecondBlockFails files;
  const Told put = putPreviewsBack(core, plan(), files);
  ASSERT_FALSE(put);
  EXPECT_EQ(testing::readFile(movie), original);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].title, "Can't write");
  EXPECT_NE(host.boxes[0].text.find("The old scene previews were put back; the movie is as it was."), std::string::npos)
      << host.boxes[0].text;
  EXPECT_TRUE(logged("0 replaced, 3 unchanged, 0 refused, 0 ignored."));
  // The store still shows what the movie holds, and the journal says the step was taken back.
  EXPECT_EQ(core.s.previewPixel(1, 0, 0), testing::makeRecord(1)[2]);
  const auto records = journalRecords();
  const History history = readHistory(records);
  ASSERT_EQ(history.replacements.size(), 1u);
  EXPECT_EQ(history.replacements[0].state, ReplacementState::TakenBack);
  EXPECT_EQ(history.undoable, nullptr);
}

}  // namespace
}  // namespace orvane
