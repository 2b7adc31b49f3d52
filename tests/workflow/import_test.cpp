// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "display/palette.h"
#include "support/fake_host.h"
#include "support/picture_fixture.h"
#include "workflow/import_picture.h"

namespace orvane {
namespace {

struct ImportTest : ::testing::Test {
  testing::FakeHost host;
  Core core{host};
  std::vector<convert::Rgb8> colours = testing::shippedPictureColours();
  void SetUp() override { applyPalette(core.s, defaultPalette()); }
};

TEST_F(ImportTest, AnImportedPictureGoesInAsALoadedBmpDoes) {
  // Rows in entries 20 + y % 100, so a flipped picture would show.
  const auto source =
      testing::makePicture(288, 162, [&](int, int y) { return testing::opaque(colours[20 + y / 2 % 100]); });
  std::string asked;
  const auto decoder = [&](const std::string& path, const convert::Framing& framing) -> Result<convert::SourcePicture> {
    asked = path + ":" + convert::fitModeName(framing.fit);
    return source;
  };
  ASSERT_TRUE(importPicture(core, "/photos/Beach.PNG", {convert::FitMode::Pad, convert::Dither::None}, decoder));
  EXPECT_EQ(asked, "/photos/Beach.PNG:pad");
  EXPECT_EQ(core.log.text(),
            "Import:Importing /photos/Beach.PNG...\r\n"
            "Import:288 x 162 picture, fitted inside 144 x 81, no dithering\r\n"
            "Repairer:Starting repairs...\r\nRepairer:No errors.\r\nRepairer:40.5pairs repaired.\r\n");
  for (int y = 0; y < 81; ++y) ASSERT_EQ(core.s.bufferPixel(y, 7), 20 + y % 100) << y;
  EXPECT_EQ(core.s.bufferByte(0, 1), 144);  // the row prefixes repaired, as for a BMP
  EXPECT_TRUE(core.s.pictureLoaded);
  EXPECT_EQ(host.bufferPaints, 1);
  EXPECT_EQ(host.buffer.at(7, 0), paletteArgb(core.s, 20));
}

TEST_F(ImportTest, ARefusalIsOneLineAndLeavesThePictureBufferAlone) {
  core.s.bufferPixel(5, 5) = 77;
  const auto before = core.s.pictureBuffer();
  const auto decoder = [](const std::string&, const convert::Framing&) -> Result<convert::SourcePicture> {
    return Error{ErrorCode::PictureCorrupt, "the picture is damaged or cut short"};
  };
  const Status status = importPicture(core, "x.png", {}, decoder);
  ASSERT_FALSE(status);
  EXPECT_EQ(status.error().code, ErrorCode::PictureCorrupt);
  EXPECT_EQ(core.log.text(),
            "Import:Importing x.png...\r\nImport:Cannot import x.png: the picture is damaged or cut short.\r\n");
  EXPECT_EQ(core.s.pictureBuffer(), before);
  EXPECT_FALSE(core.s.pictureLoaded);
  EXPECT_EQ(host.bufferPaints, 0);
}

}  // namespace
}  // namespace orvane
