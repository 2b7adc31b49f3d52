// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "shell/core.h"
#include "support/fake_host.h"

namespace orvane {
namespace {

struct LogTest : ::testing::Test {
  testing::FakeHost host;
  Core core{host};
};

TEST_F(LogTest, LinesAreTagColonMessageCrLfAppendedInCallOrder) {
  core.logline("Palette loaded.", Tag{5});
  core.logline("", Tag{2});
  core.logline("first\r\nsecond", Tag{13});
  EXPECT_EQ(core.log.text(), "Palette:Palette loaded.\r\nScanner:\r\nExtract_3:first\r\nsecond\r\n");
  // The view is handed each new line alone, never the whole text again.
  ASSERT_EQ(host.lines.size(), 3u);
  EXPECT_EQ(host.lines[0], "Palette:Palette loaded.\r\n");
  EXPECT_EQ(host.lines[1], "Scanner:\r\n");
}

TEST_F(LogTest, TagsWithoutNameAndOutOfRangeTagsStayInsideTheTable) {
  core.logline("x", Tag{15});
  core.logline("y", Tag{50});
  core.logline("z", Tag{51});
  core.logline("w", Tag{-1});
  EXPECT_EQ(core.log.text(), ":x\r\n:y\r\nunknown:z\r\nunknown:w\r\n");
}

TEST(Stores, TagNamesAndSetlistsGridOrigins) {
  EXPECT_EQ(tagName(Tag{0}), "unknown");
  EXPECT_EQ(tagName(Tag{8}), "Repairer");
  EXPECT_EQ(tagName(Tag{13}), "Extract_3");
  EXPECT_EQ(tagName(Tag{14}), "Import");
  EXPECT_EQ(tagName(Tag{15}), "");
  auto s = makeStores();
  setlists(*s);
  const int expected[13][2] = {{0, 0},    {0, 0},    {154, 0}, {308, 0},   {462, 0},   {0, 90},   {154, 90},
                               {308, 90}, {462, 90}, {0, 180}, {154, 180}, {308, 180}, {462, 180}};
  for (int k = 1; k <= 12; ++k) {
    EXPECT_EQ(s->cellX(k), expected[k][0]) << k;
    EXPECT_EQ(s->cellY(k), expected[k][1]) << k;
  }
  EXPECT_EQ(s->piccount, 0);
  EXPECT_EQ(s->bufferByte(40, 77), 0);
}

TEST(Stores, AppdirGetsExactlyOneTrailingSeparator) {
  EXPECT_EQ(withTrailingSeparator("/opt/orvane", '/'), "/opt/orvane/");
  EXPECT_EQ(withTrailingSeparator("/", '/'), "/");
  EXPECT_EQ(withTrailingSeparator("C:\\Tools", '\\'), "C:\\Tools\\");
  EXPECT_EQ(withTrailingSeparator("C:\\", '\\'), "C:\\");
}

}  // namespace
}  // namespace orvane
