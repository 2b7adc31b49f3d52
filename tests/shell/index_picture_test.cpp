// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/index_picture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace orvane {
namespace {

// Every byte of a record's rows different from its neighbours, so that a
// place read from or written to the wrong row or column shows.
std::vector<std::uint8_t> numberedRows() {
  std::vector<std::uint8_t> rows(kStoredRowsBytes);
  for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  return rows;
}

TEST(IndexPicture, RecordRowsGoInAndComeBackByteForByte) {
  const auto rows = numberedRows();
  RecordPicture picture;
  readRecordRows(rows, picture);
  EXPECT_EQ(recordRows(picture), rows);

  // Row 0 is the top row; places 0..1 the prefix, place 2 + x pixel x.
  for (int y : {0, 1, 40, 80}) {
    const auto at = [&](int j) { return rows[static_cast<std::size_t>(y * kStoredRowBytes + j)]; };
    EXPECT_EQ(picture.prefixes[static_cast<std::size_t>(y)][0], at(0)) << y;
    EXPECT_EQ(picture.prefixes[static_cast<std::size_t>(y)][1], at(1)) << y;
    for (int x : {0, 1, 143}) {
      EXPECT_EQ(picture.pixels.at(x, y), at(2 + x)) << y << "," << x;
      EXPECT_EQ(picture.pixels.row(y)[static_cast<std::size_t>(x)], at(2 + x)) << y << "," << x;
    }
    for (int j : {0, 1, 2, 145}) EXPECT_EQ(picture.byte(y, j), at(j)) << y << "," << j;
  }

  RecordPicture changed = picture;
  EXPECT_EQ(changed, picture);
  changed.byte(80, 1) ^= 1;  // a prefix alone makes them differ
  EXPECT_NE(changed, picture);
  EXPECT_EQ(changed.pixels, picture.pixels);
}

}  // namespace
}  // namespace orvane
