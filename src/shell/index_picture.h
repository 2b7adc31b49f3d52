// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A preview's picture: 144 x 81 palette indices, the one form every layer keeps
// it in (the preview store, the picture buffer, a BMP read or written, a
// converted picture, the pictures a write puts into a movie).
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "shell/picture.h"

namespace orvane {

// Rows top first, pixels left to right, one palette index a byte.
struct IndexPicture {
  std::array<std::uint8_t, kPictureWidth * kPictureHeight> index{};

  std::uint8_t at(int x, int y) const { return index[place(x, y)]; }
  std::uint8_t& at(int x, int y) { return index[place(x, y)]; }
  // Row y (0..80, top first), its 144 pixels.
  std::span<const std::uint8_t, kPictureWidth> row(int y) const {
    return std::span<const std::uint8_t, kPictureWidth>(index.data() + place(0, y), kPictureWidth);
  }
  std::span<std::uint8_t, kPictureWidth> row(int y) {
    return std::span<std::uint8_t, kPictureWidth>(index.data() + place(0, y), kPictureWidth);
  }

  friend bool operator==(const IndexPicture&, const IndexPicture&) = default;

 private:
  static std::size_t place(int x, int y) { return static_cast<std::size_t>(y * kPictureWidth + x); }
};

// A movie's record keeps each picture row as 146 bytes: places 0 and 1 the
// row prefix, places 2..145 the pixels 0..143 from left to right; the rows lie
// top first, back to back (81 x 146 = 11826 bytes).
inline constexpr int kStoredRows = kPictureHeight;
inline constexpr int kStoredRowBytes = 146;
inline constexpr int kFirstPixelPlace = 2;
inline constexpr int kStoredRowsBytes = kStoredRows * kStoredRowBytes;

// A picture with the row prefixes a record keeps beside it, as the stores hold
// a preview and the picture waiting to go in.
struct RecordPicture {
  std::array<std::array<std::uint8_t, kFirstPixelPlace>, kStoredRows> prefixes{};  // row, place 0..1
  IndexPicture pixels;

  // Place j (0..145) of row y (0..80, top first), as the record lays it out.
  std::uint8_t byte(int y, int j) const {
    return j < kFirstPixelPlace ? prefixes[static_cast<std::size_t>(y)][static_cast<std::size_t>(j)]
                                : pixels.at(j - kFirstPixelPlace, y);
  }
  std::uint8_t& byte(int y, int j) {
    return j < kFirstPixelPlace ? prefixes[static_cast<std::size_t>(y)][static_cast<std::size_t>(j)]
                                : pixels.at(j - kFirstPixelPlace, y);
  }

  // Row y (0..80, top first) from its 146 stored bytes.
  void readRow(int y, std::span<const std::uint8_t, kStoredRowBytes> stored);

  friend bool operator==(const RecordPicture&, const RecordPicture&) = default;
};

// The 11826 bytes of a record's rows, and the picture they hold: the one way
// between the two. `rows` holds at least 11826 bytes.
std::vector<std::uint8_t> recordRows(const RecordPicture& picture);
void readRecordRows(std::span<const std::uint8_t> rows, RecordPicture& into);

}  // namespace orvane
