#pragma once
// Encodes a picture as a 144 x 81, 8-bit, uncompressed, bottom-up BMP: the one
// kind of file the BMP loader accepts.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "replace/bmp_format.h"

namespace orvane::bmp {

struct Rgb {
  std::uint8_t red = 0, green = 0, blue = 0;
};

// Rows of palette indices in file order: rows[0] is the bottom row of the
// picture, the order the picture buffer keeps them in.
using PixelRows = std::array<std::array<std::uint8_t, kWidth>, kHeight>;

// The whole file: headers, a colour table of colours.size() entries (at most
// 256; a full table is usual), then the pixel rows. bfSize is the file length
// and bfOffBits points just past the colour table. Throws std::length_error
// for more than 256 colours.
std::vector<std::uint8_t> encode8(const PixelRows& rows, std::span<const Rgb> colours);

}  // namespace orvane::bmp
