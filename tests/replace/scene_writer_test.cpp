// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <unistd.h>

#include "replace/scene_writer.h"
#include "support/bmp_fixture.h"
#include "support/fake_host.h"
#include "workflow/load_picture.h"
#include "workflow/open_movie.h"

namespace orvane {
namespace {

using testing::Bytes;

constexpr std::size_t kAt1 = 500, kAt2 = 12345;  // record offsets; the second one odd

std::uint8_t picturePixel(int x, int y) { return testing::seededPixel(x, y, 5); }

// Makes every step of a file fail on demand; everything else goes to the real files.
enum class Fault { None, Open, Read, Write, ShortWrite, FullDisk, Flush, ReadBack, Close, EveryLaterWrite };

const char* faultName(Fault f) {
  switch (f) {
    case Fault::None: return "no fault";
    case Fault::Open: return "open fails";
    case Fault::Read: return "first read fails";
    case Fault::Write: return "write fails";
    case Fault::ShortWrite: return "short write";
    case Fault::FullDisk: return "disk full part-way";
    case Fault::Flush: return "flush fails";
    case Fault::ReadBack: return "read-back differs";
    case Fault::Close: return "close fails";
    case Fault::EveryLaterWrite: return "every later write fails";
  }
  return "?";
}

struct FaultyFiles final : FileLayer {
  Fault fault = Fault::None;
  int reads = 0, writes = 0, flushes = 0, closes = 0;

  struct File final : OpenFile {
    FaultyFiles& f;
    std::unique_ptr<OpenFile> real;
    File(FaultyFiles& owner, std::unique_ptr<OpenFile> file) : f(owner), real(std::move(file)) {}
    static Error io() { return {ErrorCode::Io, "injected failure"}; }

    Result<std::uint64_t> length() override { return real->length(); }
    Result<std::size_t> readAt(std::uint64_t at, std::span<std::uint8_t> out) override {
      ++f.reads;
      if (f.fault == Fault::Read && f.reads == 1) return io();
      auto got = real->readAt(at, out);
      if (f.fault == Fault::ReadBack && f.reads == 2) out[100] ^= 1;
      return got;
    }
    // A full disk takes part of the block and then fails; a short write only
    // takes part of it.
    Result<std::size_t> writeAt(std::uint64_t at, std::span<const std::uint8_t> data) override {
      ++f.writes;
      const bool first = f.writes == 1;
      if ((f.fault == Fault::Write && first) || (f.fault == Fault::EveryLaterWrite && !first)) return io();
      if ((f.fault == Fault::ShortWrite || f.fault == Fault::FullDisk || f.fault == Fault::EveryLaterWrite) && first) {
        auto put = real->writeAt(at, data.first(data.size() / 2));
        if (f.fault == Fault::ShortWrite) return put;
        return Error{ErrorCode::NoSpace, "injected full disk"};
      }
      return real->writeAt(at, data);
    }
    Status flush() override {
      auto flushed = real->flush();
      if (f.fault == Fault::Flush && ++f.flushes == 1) return io();
      return flushed;
    }
    Status close() override {
      auto closed = real->close();
      if (f.fault == Fault::Close && ++f.closes == 1) return io();
      return closed;
    }
    Result<FileIdentity> identity() override { return real->identity(); }
    Status tryLock() override { return real->tryLock(); }
  };

  // Only the movie's steps fail; its journal goes to the real files.
  bool exists(const std::string& path) override { return systemFileLayer().exists(path); }
  Result<std::unique_ptr<OpenFile>> open(const std::string& path, OpenMode mode) override {
    if (!path.ends_with(".3mm")) return systemFileLayer().open(path, mode);
    if (fault == Fault::Open) return Error{ErrorCode::AccessDenied, "injected refusal"};
    auto real = systemFileLayer().open(path, mode);
    if (!real) return real.error();
    return std::unique_ptr<OpenFile>(std::make_unique<File>(*this, std::move(*real)));
  }
  Result<std::unique_ptr<OpenFile>> openOrCreate(const std::string& path) override {
    return systemFileLayer().openOrCreate(path);
  }
  Status flushFolder(const std::string& folder) override { return systemFileLayer().flushFolder(folder); }
  Status makeFolders(const std::string& folder) override { return systemFileLayer().makeFolders(folder); }
};

// A scanned movie, and a loaded picture.
struct WriterTest : ::testing::Test {
  testing::FakeHost host;
  Core core{host};
  testing::TempDir dir;
  std::string movie = dir.file("Movie.3mm");
  Bytes original;

  void SetUp() override {
    original = testing::filler(kAt2 + record::kRecordBytes + 300);
    testing::put(original, kAt1, testing::makeRecord(1));
    testing::put(original, kAt2, testing::makeRecord(2));
    testing::writeFile(movie, original);
    ASSERT_TRUE(loadfile3(core, movie));
    ASSERT_EQ(core.s.piccount, 2);
    ASSERT_EQ(core.s.recordPosition(1), static_cast<std::int32_t>(kAt1 + 1));
    ASSERT_EQ(core.s.recordPosition(2), static_cast<std::int32_t>(kAt2 + 1));
  }
  void loadPicture() {
    testing::writeFile(dir.file("p.bmp"), testing::validBmp(testing::pictureRows(picturePixel)));
    ASSERT_TRUE(loadblimp(core, dir.file("p.bmp")));
    host.lines.clear();
    host.boxes.clear();
    host.events.clear();
  }
  // The movie with the picture written over the record at `at`, as it should read.
  Bytes replaced(std::size_t at) const {
    Bytes expected = original;
    testing::put(expected, at, testing::makeRecord(picturePixel));
    return expected;
  }
  bool logged(const std::string& line) const {
    return std::find(host.lines.begin(), host.lines.end(), "Replace:" + line + "\r\n") != host.lines.end();
  }
};

TEST_F(WriterTest, WritesThePictureUprightOverTheRowsOnly) {
  loadPicture();
  const auto pictureBuffer = core.s.pictureBuffer();
  std::vector<std::int32_t> recordPositions;
  for (int n = 0; n <= kMaxPreviews; ++n) recordPositions.push_back(core.s.recordPosition(n));
  ASSERT_TRUE(writeBufferToScene(core, 2));

  // makeRecord builds the prefixes and trailer anew: every row 00 90, trailer as before.
  const Bytes once = testing::readFile(movie);
  EXPECT_EQ(once, replaced(kAt2));
  EXPECT_EQ(host.events,
            (std::vector<std::string>{"log:Replace:Begining scene replace...", "box::Done,Scene preview was replaced.",
                                      "log:Replace:Scene replaced."}));
  EXPECT_EQ(host.boxes[0].icon, BoxIcon::None);
  EXPECT_EQ(core.s.pictureBuffer(), pictureBuffer);
  for (int n = 0; n <= kMaxPreviews; ++n) EXPECT_EQ(core.s.recordPosition(n), recordPositions[n]) << n;

  ASSERT_TRUE(writeBufferToScene(core, 2));
  EXPECT_EQ(testing::readFile(movie), once);
}

TEST_F(WriterTest, RefusesWithoutPictureOrPreview) {
  EXPECT_FALSE(writeBufferToScene(core, 1));  // nothing loaded: the zero buffer would break the record
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].title, "Nothing to insert");
  EXPECT_EQ(host.boxes[0].icon, BoxIcon::Information);
  loadPicture();
  for (int scene : {0, 3, -1}) EXPECT_FALSE(writeBufferToScene(core, scene));
  core.s.moviefile.clear();
  EXPECT_FALSE(writeBufferToScene(core, 1));

  ASSERT_EQ(host.boxes.size(), 4u);
  for (const auto& box : host.boxes) EXPECT_EQ(box.title, "Nothing to replace");
  EXPECT_EQ(testing::readFile(movie), original);
  EXPECT_FALSE(logged("Scene replaced."));
}

TEST_F(WriterTest, MovedOrDeletedMovieIsReportedAndNotRecreated) {
  loadPicture();
  std::filesystem::rename(movie, dir.file("elsewhere.3mm"));
  EXPECT_FALSE(writeBufferToScene(core, 1));
  std::filesystem::remove(dir.file("elsewhere.3mm"));
  EXPECT_FALSE(writeBufferToScene(core, 1));

  EXPECT_FALSE(std::filesystem::exists(movie));
  ASSERT_EQ(host.boxes.size(), 2u);
  for (const auto& box : host.boxes) {
    EXPECT_EQ(box.text, "File has been moved!\r\nPlease put it back.");
    EXPECT_EQ(box.title, "Error!");
    EXPECT_EQ(box.icon, BoxIcon::Information);
  }
  EXPECT_EQ(host.lines, std::vector<std::string>(2, "Replace:Begining scene replace...\r\n"));
}

TEST_F(WriterTest, ChangedMovieIsLeftAlone) {
  loadPicture();
  Bytes shifted = original;
  shifted.insert(shifted.begin(), 0x42);  // every record now starts one byte later
  Bytes shortened(original.begin(), original.begin() + kAt2 + record::kRecordBytes - 1);
  for (const Bytes& changed : {shifted, shortened}) {
    testing::writeFile(movie, changed);
    host.boxes.clear();
    EXPECT_FALSE(writeBufferToScene(core, 2));
    EXPECT_EQ(testing::readFile(movie), changed);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].title, "Movie changed");
    EXPECT_EQ(host.boxes[0].icon, BoxIcon::Critical);
    EXPECT_NE(host.boxes[0].text.find("open the movie again"), std::string::npos);
  }
}

TEST_F(WriterTest, ReadOnlyMovieIsReported) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write read-only files";
  loadPicture();
  std::filesystem::permissions(movie, std::filesystem::perms::owner_read);
  EXPECT_FALSE(writeBufferToScene(core, 1));
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].icon, BoxIcon::Critical);
  EXPECT_NE(host.boxes[0].text.find(movie), std::string::npos);
  EXPECT_EQ(testing::readFile(movie), original);
}

TEST_F(WriterTest, EveryFailedStepLeavesTheOldRecordAndTellsTheUser) {
  loadPicture();
  const struct {
    Fault fault;
    const char* outcome;
  } cases[] = {
      {Fault::Open, "Nothing was written."}, {Fault::Read, "Nothing was written."},
      {Fault::Write, "Nothing was written"}, {Fault::ShortWrite, "was put back"},
      {Fault::FullDisk, "was put back"},     {Fault::Flush, "was put back"},
      {Fault::ReadBack, "was put back"},     {Fault::Close, "was put back"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(faultName(c.fault));
    FaultyFiles files;
    files.fault = c.fault;
    host.boxes.clear();
    host.lines.clear();
    EXPECT_FALSE(writeBufferToScene(core, 1, files));
    EXPECT_EQ(testing::readFile(movie), original);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].title, "Can't write");
    EXPECT_EQ(host.boxes[0].icon, BoxIcon::Critical);
    EXPECT_NE(host.boxes[0].text.find(movie), std::string::npos);
    EXPECT_NE(host.boxes[0].text.find(c.outcome), std::string::npos) << host.boxes[0].text;
    EXPECT_FALSE(logged("Scene replaced."));
  }

  // When putting the old rows back fails too, the user is told the record may be damaged.
  FaultyFiles files;
  files.fault = Fault::EveryLaterWrite;
  host.boxes.clear();
  EXPECT_FALSE(writeBufferToScene(core, 1, files));
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_NE(host.boxes[0].text.find("may be damaged"), std::string::npos);
}

}  // namespace
}  // namespace orvane
