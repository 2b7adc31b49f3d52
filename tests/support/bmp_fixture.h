// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Builds BMP files for tests: valid 144 x 81 8-bit pictures and files of other
// kinds with sound headers, so that each header check can be met on its own.
#include <cstdint>
#include <functional>
#include <vector>

#include "replace/bmp_writer.h"
#include "support/movie_builder.h"

namespace orvane::testing {

// The picture whose pixel (x, y), y = 0 the top row as it looks, is pixel(x, y).
inline IndexPicture pictureRows(const std::function<std::uint8_t(int, int)>& pixel) {
  IndexPicture picture;
  for (int y = 0; y < kPictureHeight; ++y)
    for (int x = 0; x < kPictureWidth; ++x) picture.at(x, y) = pixel(x, y);
  return picture;
}

// Pixel values 0..150 that differ between rows and seeds.
inline std::uint8_t seededPixel(int x, int y, int seed) {
  return static_cast<std::uint8_t>((x * 7 + y * 13 + seed * 29) % 151);
}

inline std::vector<bmp::Rgb> colourTable(int entries, int seed = 0) {
  std::vector<bmp::Rgb> table(static_cast<std::size_t>(entries));
  for (int i = 0; i < entries; ++i)
    table[i] = {static_cast<std::uint8_t>(i + seed), static_cast<std::uint8_t>(3 * i),
                static_cast<std::uint8_t>(255 - i)};
  return table;
}

inline Bytes validBmp(const IndexPicture& picture, int colours = 256, int seed = 0) {
  return bmp::encode8(picture, colourTable(colours, seed)).value();
}

inline void setLe32(Bytes& b, std::size_t at, std::uint32_t v) { bmp::writeLe32(b, at, v); }

// A 144 x 81 file of another depth, with a correct size and pixel offset.
inline Bytes bmpOfDepth(int bits) {
  const int tableEntries = bits <= 8 ? 1 << bits : 0;
  const std::size_t stride = (static_cast<std::size_t>(bmp::kWidth * bits) / 8 + 3) / 4 * 4;
  Bytes file = validBmp(IndexPicture{}, 0);
  file.resize(bmp::kHeadersBytes + 4 * tableEntries + stride * bmp::kHeight, 0x11);
  setLe32(file, bmp::kFileSize, static_cast<std::uint32_t>(file.size()));
  setLe32(file, bmp::kPixelOffset, bmp::kHeadersBytes + 4 * tableEntries);
  bmp::writeLe16(file, bmp::kBitCount, static_cast<std::uint16_t>(bits));
  return file;
}

}  // namespace orvane::testing
