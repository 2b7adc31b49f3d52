// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <optional>

#include "support/bmp_fixture.h"
#include "support/fake_host.h"
#include "workflow/load_picture.h"

// GCC 12 reports a false stringop-overflow for the header edits of the
// refused files below, depending on how much it inlines around them.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wstringop-overflow"
#endif

namespace orvane {
namespace {

using testing::Bytes;

const char* const kRleText =
    "This BMP is RLE (run length encoded), try looking for a option to turn off RLE in your graphics app.";

struct LoaderTest : ::testing::Test {
  testing::FakeHost host;
  Core core{host};
  testing::TempDir dir;

  bool load(const Bytes& bytes, const std::string& name = "Pic.BMP") {
    testing::writeFile(dir.file(name), bytes);
    return loadblimp(core, dir.file(name)).ok();
  }
  std::vector<std::string> linesFrom(std::size_t first) const {
    return {host.lines.begin() + static_cast<std::ptrdiff_t>(first), host.lines.end()};
  }
};

TEST_F(LoaderTest, LoadsBottomUpPictureRepairsAndDraws) {
  auto pixel = [](int x, int y) { return testing::seededPixel(x, y, 1); };
  const std::string shown = lowerCasePath(dir.file("Pic.BMP"));
  ASSERT_TRUE(load(testing::validBmp(testing::pictureRows(pixel))));

  EXPECT_EQ(host.lines,
            (std::vector<std::string>{
                "BMPsys:Opening " + shown + "...\r\n", "BMPsys:Image loaded, checking for errors...\r\n",
                "Repairer:Starting repairs...\r\n", "Repairer:No errors.\r\n", "Repairer:40.5pairs repaired.\r\n"}));
  EXPECT_EQ(shown.find("pic.bmp"), shown.size() - 7);
  for (int r = 0; r <= 80; ++r) {
    EXPECT_EQ(core.s.bufferByte(80 - r, 0), 0);
    EXPECT_EQ(core.s.bufferByte(80 - r, 1), 144);
    for (int x = 0; x < 144; ++x) ASSERT_EQ(core.s.bufferPixel(80 - r, x), pixel(x, 80 - r)) << r << "," << x;
  }
  EXPECT_TRUE(core.s.pictureLoaded);
  EXPECT_EQ(host.bufferPaints, 1);
  EXPECT_TRUE(host.boxes.empty());

  // Prefixes are sound from now on: a second load logs no count line.
  const auto before = host.lines.size();
  ASSERT_TRUE(load(testing::validBmp(testing::pictureRows([](int, int) { return std::uint8_t{151}; }))));
  const auto lines = linesFrom(before);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[3], "Repairer:No errors.\r\n");
  EXPECT_EQ(lines[4], "Repairer:Colours above 150 detected, please recheck your BMP!\r\n");
  EXPECT_EQ(core.s.bufferByte(40, 70), 0);
}

TEST_F(LoaderTest, PixelsAreFoundThroughTheOffsetWhateverTheColourTable) {
  auto pixel = [](int x, int y) { return testing::seededPixel(x, y, 2); };
  const auto rows = testing::pictureRows(pixel);
  ASSERT_TRUE(load(testing::validBmp(rows, 256, 0)));
  const auto expected = core.s.pictureBuffer();
  for (int colours : {256, 16, 0}) {
    core.s.pictureBuffer() = {};
    ASSERT_TRUE(load(testing::validBmp(rows, colours, 77))) << colours;
    EXPECT_EQ(core.s.pictureBuffer(), expected) << colours;
  }
}

TEST_F(LoaderTest, RefusedFilesLeaveThePictureAsItWas) {
  const Bytes good =
      testing::validBmp(testing::pictureRows([](int x, int y) { return testing::seededPixel(x, y, 3); }));
  auto with = [&good](auto change) {
    Bytes b = good;
    change(b);
    return b;
  };
  auto sized = [](Bytes b) {
    testing::setLe32(b, bmp::kFileSize, static_cast<std::uint32_t>(b.size()));
    return b;
  };
  auto rle = [&](Bytes& b) { testing::setLe32(b, bmp::kCompression, 1); };

  struct Case {
    const char* name;
    std::optional<Bytes> file;  // none: no file at all
    bool rleBox = false;
  };
  const Case cases[] = {
      {"bfSize one short",
       with([](Bytes& b) { testing::setLe32(b, bmp::kFileSize, static_cast<std::uint32_t>(b.size() - 1)); })},
      {"lower-case bm", with([](Bytes& b) {
         b[0] = 'b';
         b[1] = 'm';
       })},
      {"top-down", with([](Bytes& b) { testing::setLe32(b, bmp::kHeightField, static_cast<std::uint32_t>(-81)); })},
      {"width 145", with([](Bytes& b) { testing::setLe32(b, bmp::kWidthField, 145); })},
      {"4-bit", testing::bmpOfDepth(4)},
      {"24-bit", testing::bmpOfDepth(24)},
      {"RLE", with(rle), true},
      {"RLE with wrong bfSize", with([&](Bytes& b) {
         rle(b);
         b.push_back(0);
       })},
      {"pixel area past the end", sized(Bytes(good.begin(), good.end() - 1))},
      {"pixel offset near 4 GiB", with([](Bytes& b) { testing::setLe32(b, bmp::kPixelOffset, 0xFFFFFFF0u); })},
      {"ends before the compression field", sized(Bytes(good.begin(), good.begin() + 32))},
      {"one byte", Bytes{'B'}},
      {"empty", Bytes{}},
      {"missing", std::nullopt},
  };

  ASSERT_TRUE(load(good));
  const auto picture = core.s.pictureBuffer();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    host.events.clear();
    const std::string path = dir.file(std::string(c.name) + ".bmp");
    if (c.file) testing::writeFile(path, *c.file);
    EXPECT_FALSE(loadblimp(core, path));

    const std::string shown = lowerCasePath(path);
    std::vector<std::string> expected{"log:BMPsys:Opening " + shown + "..."};
    if (c.rleBox) expected.push_back(std::string("box:Can't read:") + kRleText);
    expected.push_back("log:BMPsys:Bmp is corrupt! (" + shown + ")");
    EXPECT_EQ(host.events, expected);
    EXPECT_EQ(core.s.pictureBuffer(), picture);
  }
  EXPECT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].icon, BoxIcon::None);
}

TEST_F(LoaderTest, RefusalBeforeAnyLoadKeepsTheBufferEmpty) {
  EXPECT_FALSE(load(testing::bmpOfDepth(24)));
  EXPECT_EQ(core.s.pictureBuffer(), RecordPicture{});
  EXPECT_FALSE(core.s.pictureLoaded);
  EXPECT_EQ(host.bufferPaints, 0);
}

TEST(BmpWriter, WritesHeadersTableAndBottomRowFirst) {
  const auto rows = testing::pictureRows([](int x, int y) { return static_cast<std::uint8_t>(y == 80 ? x : 200); });
  const Bytes file = bmp::encode8(rows, testing::colourTable(256)).value();
  ASSERT_EQ(file.size(), 14u + 40 + 1024 + 11664);
  EXPECT_EQ(bmp::readLe32(file, bmp::kFileSize), file.size());
  EXPECT_EQ(bmp::readLe32(file, bmp::kPixelOffset), 1078u);
  EXPECT_EQ(bmp::readLe32(file, bmp::kInfoSize), 40u);
  EXPECT_EQ(bmp::readLe16(file, bmp::kPlanes), 1);
  EXPECT_EQ(bmp::readLe32(file, bmp::kColoursUsed), 256u);
  // Entry 5 of the table: red 5, green 15, blue 250, stored blue first.
  EXPECT_EQ(Bytes(file.begin() + 54 + 20, file.begin() + 54 + 24), (Bytes{250, 15, 5, 0}));
  EXPECT_EQ(file[1078 + 143], 143);  // the first stored row is the bottom row
  const auto tooMany = bmp::encode8(rows, testing::colourTable(257));
  ASSERT_FALSE(tooMany);
  EXPECT_EQ(tooMany.error().code, ErrorCode::TooManyColours);
}

}  // namespace
}  // namespace orvane
