// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Encodes a picture as a 144 x 81, 8-bit, uncompressed, bottom-up BMP: the one
// kind of file the BMP loader accepts.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "replace/bmp_format.h"
#include "shell/error.h"
#include "shell/index_picture.h"

namespace orvane::bmp {

struct Rgb {
  std::uint8_t red = 0, green = 0, blue = 0;
};

// The whole file: headers, a colour table of colours.size() entries (at most
// 256; a full table is usual), then the picture's rows, bottom row first.
// bfSize is the file length and bfOffBits points just past the colour table.
// More than 256 colours is an error (TooManyColours).
Result<std::vector<std::uint8_t>> encode8(const IndexPicture& picture, std::span<const Rgb> colours);

}  // namespace orvane::bmp
