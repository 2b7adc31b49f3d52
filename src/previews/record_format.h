// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The byte layout of a scene preview record inside a movie: 81 rows of 146
// bytes (prefix 0x00 0x90, then 144 palette indices), top row first, followed
// by the trailer 0x01 0x00 0x03. Records may start at any offset.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "shell/stores.h"

namespace orvane::record {

inline constexpr int kPixelsPerRow = 144;
inline constexpr int kRowBytes = 146;
inline constexpr int kRows = 81;
inline constexpr int kTrailerOffset = kRows * kRowBytes;  // 11826
inline constexpr int kTrailerLength = 3;
inline constexpr int kRecordBytes = kTrailerOffset + kTrailerLength;  // 11829

inline constexpr std::uint8_t kPrefix0 = 0x00;
inline constexpr std::uint8_t kPrefix1 = 0x90;
inline constexpr std::uint8_t kTrailer[kTrailerLength] = {0x01, 0x00, 0x03};

// True when a record starts at p: the prefix at p[0..1] and the trailer at
// p[11826..11828]. The caller guarantees all 11829 bytes are readable.
inline bool signatureAt(const std::uint8_t* p) {
  return p[0] == kPrefix0 && p[1] == kPrefix1 && p[kTrailerOffset] == kTrailer[0] &&
         p[kTrailerOffset + 1] == kTrailer[1] && p[kTrailerOffset + 2] == kTrailer[2];
}

// A sound record: every row prefix, pixel(x, y) for x 0..143 and y 0..80 (the
// top row first), then the trailer. For making movies of our own.
template <class Pixel>
std::vector<std::uint8_t> buildRecord(Pixel pixel) {
  std::vector<std::uint8_t> rec(kRecordBytes);
  for (int y = 0; y < kRows; ++y) {
    std::uint8_t* row = rec.data() + y * kRowBytes;
    row[0] = kPrefix0;
    row[1] = kPrefix1;
    for (int x = 0; x < kPixelsPerRow; ++x) row[2 + x] = static_cast<std::uint8_t>(pixel(x, y));
  }
  for (int i = 0; i < kTrailerLength; ++i) rec[kTrailerOffset + i] = kTrailer[i];
  return rec;
}

}  // namespace orvane::record
static_assert(orvane::record::kTrailerOffset == 11826);
static_assert(orvane::record::kRecordBytes == 11829);
// The stores keep a record's rows exactly as they lie in the movie.
static_assert(orvane::record::kRows == orvane::kStoredRows && orvane::record::kRowBytes == orvane::kStoredRowBytes);
