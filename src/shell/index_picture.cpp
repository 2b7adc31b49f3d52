// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/index_picture.h"

#include <algorithm>

namespace orvane {

void RecordPicture::readRow(int y, std::span<const std::uint8_t, kStoredRowBytes> stored) {
  std::copy_n(stored.begin(), kFirstPixelPlace, prefixes[static_cast<std::size_t>(y)].begin());
  std::copy(stored.begin() + kFirstPixelPlace, stored.end(), pixels.row(y).begin());
}

std::vector<std::uint8_t> recordRows(const RecordPicture& picture) {
  std::vector<std::uint8_t> rows(kStoredRowsBytes);
  auto out = rows.begin();
  for (int y = 0; y < kStoredRows; ++y) {
    out = std::copy(picture.prefixes[static_cast<std::size_t>(y)].begin(),
                    picture.prefixes[static_cast<std::size_t>(y)].end(), out);
    const auto row = picture.pixels.row(y);
    out = std::copy(row.begin(), row.end(), out);
  }
  return rows;
}

void readRecordRows(std::span<const std::uint8_t> rows, RecordPicture& into) {
  for (int y = 0; y < kStoredRows; ++y)
    into.readRow(y, rows.subspan(static_cast<std::size_t>(y * kStoredRowBytes)).first<kStoredRowBytes>());
}

}  // namespace orvane
