// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "shell/core.h"
#include "support/fake_host.h"

namespace orvane {
namespace {

TEST(BarArithmetic, MultipliesDividesTruncatesThenSubtracts) {
  EXPECT_EQ(barWidthTwips(3375, 5, 5), 3345);
  EXPECT_EQ(barWidthTwips(3375, 1, 2), 1657);    // 1687.5 -> 1687 - 30
  EXPECT_EQ(barWidthTwips(3375, 40, 81), 1636);  // 1666.67 -> 1666 - 30
  EXPECT_EQ(barWidthTwips(3375, 0, 0), 0);       // no division when part is 0
  EXPECT_EQ(barWidthTwips(3375, 1, 1000), -27);  // the raw result may be negative
  EXPECT_EQ(barWidthTwips(3375, 2, 1), 6720);    // and longer than the frame
}

struct BarsTest : ::testing::Test {
  testing::FakeHost host;
  Core core{host};
};

TEST_F(BarsTest, ATinyFractionShowsAnEmptyBarNeverANegativeWidth) {
  core.bars.setbar(1, 1000);
  EXPECT_EQ(core.bars.shape1().widthTwips, 0);
  ASSERT_FALSE(host.bars.empty());
  EXPECT_EQ(host.bars.back().look.widthTwips, 0);
}

TEST_F(BarsTest, BusyEmptiesTheLowerBarInBlueIdleFillsItInGreyBothRepaint) {
  core.bars.barstate(1);
  EXPECT_EQ(core.bars.shape3().fillColour, kBarBlue);
  EXPECT_EQ(core.bars.shape3().borderColour, kBarBlue);
  EXPECT_EQ(core.bars.shape3().widthTwips, 0);
  EXPECT_EQ(host.repaints, 1);

  core.bars.setbar2(40, 81);
  EXPECT_EQ(core.bars.shape3().widthTwips, 1636);
  EXPECT_EQ(host.repaints, 1);  // setbar2 itself never repaints

  core.bars.barstate(2);
  EXPECT_EQ(core.bars.shape3().fillColour, kBarGrey);
  EXPECT_EQ(core.bars.shape3().widthTwips, 3345);
  EXPECT_EQ(host.repaints, 2);

  const auto before = core.bars.shape3();
  core.bars.barstate(3);
  EXPECT_EQ(core.bars.shape3().widthTwips, before.widthTwips);
  EXPECT_EQ(core.bars.shape3().fillColour, before.fillColour);
  EXPECT_EQ(host.repaints, 3);
}

}  // namespace
}  // namespace orvane
