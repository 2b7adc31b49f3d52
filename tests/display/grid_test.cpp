// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "display/drawing.h"
#include "display/grid.h"
#include "display/selection.h"
#include "support/fake_host.h"

namespace orvane {
namespace {

struct GridTest : ::testing::Test {
  testing::FakeHost host;
  Core core{host};
  void SetUp() override {
    for (int e = 0; e < 256; ++e) {  // a palette where every entry is told apart
      core.s.palComponent(e, 1) = static_cast<std::int16_t>(e);
      core.s.palComponent(e, 2) = static_cast<std::int16_t>(255 - e);
      core.s.palComponent(e, 3) = 7;
    }
  }
  std::uint32_t argbOf(int e) const { return paletteArgbFor(e); }
  static std::uint32_t paletteArgbFor(int e) {
    return 0xFF000000u | static_cast<std::uint32_t>(e) << 16 | static_cast<std::uint32_t>(255 - e) << 8 | 7u;
  }
};

TEST_F(GridTest, DrawatPlacesStoredRowsTopDown) {
  core.s.previewPixel(3, 0, 0) = 10;     // first pixel of the top row
  core.s.previewPixel(3, 0, 143) = 20;   // last pixel of the top row
  core.s.previewPixel(3, 80, 0) = 30;    // first pixel of the bottom row
  core.s.previewPixel(3, 40, 47) = 255;  // the highest entry
  core.s.previewByte(3, 1, 0) = 99;      // the prefix is never drawn
  const Picture pic = composePreview(core.s, 3);
  EXPECT_EQ(pic.at(0, 0), argbOf(10));
  EXPECT_EQ(pic.at(143, 0), argbOf(20));
  EXPECT_EQ(pic.at(0, 80), argbOf(30));
  EXPECT_EQ(pic.at(47, 39), argbOf(0));
  EXPECT_EQ(pic.at(47, 40), argbOf(255));
  EXPECT_EQ(pic.at(5, 5), argbOf(0));
}

TEST_F(GridTest, Draw1ShowsTheBufferUprightBottomRowLast) {
  for (int x = 2; x <= 145; ++x) core.s.bufferByte(80, x) = 9;  // bottom row of the picture
  core.s.bufferByte(0, 2) = 4;                                  // top-left pixel
  draw1(core);
  EXPECT_EQ(host.buffer.at(0, 80), argbOf(9));
  EXPECT_EQ(host.buffer.at(143, 80), argbOf(9));
  EXPECT_EQ(host.buffer.at(0, 0), argbOf(4));
  EXPECT_EQ(host.buffer.at(1, 0), argbOf(0));
}

TEST_F(GridTest, ScrollMaximumIsPagesMinusOne) {
  EXPECT_EQ(pageMaximumFor(0), -1);
  EXPECT_EQ(pageMaximumFor(1), 0);
  EXPECT_EQ(pageMaximumFor(12), 0);
  EXPECT_EQ(pageMaximumFor(13), 1);
  EXPECT_EQ(pageMaximumFor(24), 1);
  EXPECT_EQ(pageMaximumFor(25), 2);
  EXPECT_EQ(pageMaximumFor(255), 21);
}

TEST_F(GridTest, PagesShowTwelvePreviewsAndLeaveCellsAfterTheLastEmpty) {
  core.s.piccount = 13;
  for (int n = 1; n <= 13; ++n) core.s.previewPixel(n, 0, 0) = static_cast<std::uint8_t>(n);
  drawPage(core);
  ASSERT_EQ(host.grid.size(), 12u);
  EXPECT_EQ(host.events.front(), "draw1");
  EXPECT_EQ(host.grid[5].x, 154);
  EXPECT_EQ(host.grid[5].y, 90);
  EXPECT_EQ(host.grid[5].picture.at(0, 0), argbOf(6));

  host.page = 1;
  drawPage(core);
  ASSERT_EQ(host.grid.size(), 1u);
  EXPECT_EQ(host.grid[0].x, 0);
  EXPECT_EQ(host.grid[0].picture.at(0, 0), argbOf(13));
  EXPECT_EQ(core.s.page, 1);
}

TEST_F(GridTest, NoPreviewBelowOneIsDrawnOrSelectedWhateverThePage) {
  core.s.piccount = 0;
  host.page = -1;
  drawPage(core);
  EXPECT_TRUE(host.grid.empty());
  EXPECT_EQ(selectPreviewAt(core, 10, 10, -1), 0);

  core.s.piccount = 5;
  drawPage(core);
  EXPECT_TRUE(host.grid.empty());
  EXPECT_EQ(selectPreviewAt(core, 10, 10, -1), 0);
  EXPECT_EQ(core.s.selpic, 0);
}

TEST_F(GridTest, HitAreasAre145By82WithBoundsIncluded) {
  core.s.piccount = 30;
  for (int k = 1; k <= 12; ++k) {
    const double cx = core.s.cellX(k), cy = core.s.cellY(k);
    EXPECT_EQ(hitCell(core.s, cx, cy), k);
    EXPECT_EQ(hitCell(core.s, cx + 144, cy + 81), k);
    EXPECT_EQ(hitCell(core.s, cx + 145, cy + 10), 0);
    EXPECT_EQ(hitCell(core.s, cx + 10, cy + 82), 0);
    EXPECT_EQ(selectPreviewAt(core, cx + 70, cy + 40, 1), 12 + k);
    EXPECT_EQ(core.s.selpic, 12 + k);
  }
  // Page 2 holds previews 25..30: cell 7 would be 31, which does not exist.
  EXPECT_EQ(selectPreviewAt(core, 308 + 5, 90 + 5, 2), 0);
  EXPECT_EQ(core.s.selpic, 24);
  EXPECT_EQ(selectPreviewAt(core, 154 + 5, 90 + 5, 2), 30);
}

}  // namespace
}  // namespace orvane
