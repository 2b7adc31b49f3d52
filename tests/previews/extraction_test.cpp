// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "previews/extraction.h"
#include "support/fake_host.h"
#include "support/movie_builder.h"

namespace orvane {
namespace {

using testing::Bytes;
using testing::makeRecord;

struct ExtractionTest : ::testing::Test {
  testing::FakeHost host;
  Core core{host};
};

TEST_F(ExtractionTest, CopiesTheRowsAsStoredAndReportsInOrder) {
  Bytes rec = makeRecord(4);
  rec[39 * 146 + 1] = 0x91;  // row 40's prefix is damaged: copied as it is, not judged
  core.s.piccount = 6;
  const std::int32_t previewNumber = extractPreview(core, 12345, rec.data());

  EXPECT_EQ(previewNumber, 7);
  EXPECT_EQ(core.s.piccount, 7);
  for (int r = 1; r <= 81; ++r)
    for (int c = 1; c <= 146; ++c)
      ASSERT_EQ(core.s.previewByte(7, r - 1, c - 1), rec[(r - 1) * 146 + (c - 1)]) << r << "," << c;
  EXPECT_EQ(core.s.previewByte(7, 39, 1), 0x91);
  // The previews beside it stay blank.
  EXPECT_EQ(core.s.preview(6), RecordPicture{});
  EXPECT_EQ(core.s.preview(8), RecordPicture{});

  // Busy (empty bar, repaint), the log line, sixteen steps of the lower bar at
  // rows 5, 10, ..., 80 of 81, "Done", idle (full bar, repaint), then the
  // window's own repaint.
  std::vector<std::string> expected{"bar3:0.000000", "repaint", "log:Extract_3:Extracting 12345 to memory(7)"};
  for (int r = 5; r <= 80; r += 5)
    expected.push_back("bar3:" + std::to_string(static_cast<int>(3375.0 * r / 81) - 30) + ".000000");
  expected.insert(expected.end(), {"log:Extract_3:Done", "bar3:3345.000000", "repaint", "repaint"});
  EXPECT_EQ(host.events, expected);
  EXPECT_EQ(expected[3], "bar3:178.000000");  // 208.3 truncated, minus 30
  EXPECT_EQ(expected[18], "bar3:3303.000000");
}

}  // namespace
}  // namespace orvane
