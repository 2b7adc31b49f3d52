// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "previews/repair.h"
#include "support/fake_host.h"

namespace orvane {
namespace {

struct RepairTest : ::testing::Test {
  testing::FakeHost host;
  Core core{host};
  void soundPreviews(int n) {
    core.s.piccount = n;
    for (int p = 1; p <= n; ++p)
      for (int r = 1; r <= 81; ++r) core.s.previewByte(p, r - 1, 1) = 144;
  }
  void soundBuffer() {
    for (int y = 0; y <= 80; ++y) core.s.bufferByte(y, 1) = 144;
  }
};

TEST_F(RepairTest, CountsArePrintedAsHalvesWithTheUsersSeparator) {
  EXPECT_EQ(halfCountText(3, "."), "1.5");
  EXPECT_EQ(halfCountText(81, "."), "40.5");
  EXPECT_EQ(halfCountText(4, "."), "2");
  EXPECT_EQ(halfCountText(1, ","), "0,5");
}

TEST_F(RepairTest, PreviewPassFixesPrefixesOnlyAndStopsWithoutBmp) {
  soundPreviews(2);
  core.s.previewByte(1, 6, 1) = 0x91;
  core.s.previewByte(2, 0, 0) = 5;
  core.s.previewByte(2, 0, 1) = 0;
  core.s.previewByte(2, 8, 39) = 200;  // pixels are never judged here
  core.s.bufferByte(77, 0) = 9;        // the buffer is left alone without IsBMP
  repair(core, false);
  EXPECT_EQ(core.log.text(), "Repairer:Starting repairs...\r\nRepairer:1.5pairs repaired.\r\n");
  EXPECT_EQ(core.s.previewByte(1, 6, 1), 144);
  EXPECT_EQ(core.s.previewByte(2, 0, 0), 0);
  EXPECT_EQ(core.s.previewByte(2, 8, 39), 200);
  EXPECT_EQ(core.s.bufferByte(77, 0), 9);

  repair(core, false);  // repaired previews stay repaired
  EXPECT_EQ(host.lines.back(), "Repairer:No errors.\r\n");
}

TEST_F(RepairTest, FirstBufferPassFixesEveryRowThenLaterOnesFindNothing) {
  repair(core, true);
  EXPECT_EQ(core.log.text(), "Repairer:Starting repairs...\r\nRepairer:No errors.\r\nRepairer:40.5pairs repaired.\r\n");
  host.lines.clear();
  repair(core, true);
  ASSERT_EQ(host.lines.size(), 2u);
  EXPECT_EQ(host.lines[1], "Repairer:No errors.\r\n");
}

TEST_F(RepairTest, ColoursAbove150AreClearedAndReportedBeforeTheCount) {
  soundBuffer();
  for (int i = 0; i < 10; ++i) core.s.bufferByte(75, 2 + i) = 151;
  for (int i = 0; i < 3; ++i) core.s.bufferByte(0, 145 - i) = 255;
  core.s.bufferByte(74, 2) = 150;
  repair(core, true);
  ASSERT_EQ(host.lines.size(), 3u);
  EXPECT_EQ(host.lines[2], "Repairer:Colours above 150 detected, please recheck your BMP!\r\n");
  EXPECT_EQ(core.s.bufferByte(75, 2), 0);
  EXPECT_EQ(core.s.bufferByte(0, 145), 0);
  EXPECT_EQ(core.s.bufferByte(74, 2), 150);

  core.s.bufferByte(80, 0) = 1;
  core.s.bufferByte(80, 2) = 200;
  host.lines.clear();
  repair(core, true);
  ASSERT_EQ(host.lines.size(), 4u);
  EXPECT_EQ(host.lines[2], "Repairer:Colours above 150 detected, please recheck your BMP!\r\n");
  EXPECT_EQ(host.lines[3], "Repairer:0.5pairs repaired.\r\n");
}

}  // namespace
}  // namespace orvane
