// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Pictures for the conversion tests, made from a function of the pixel.
#include <array>
#include <functional>
#include <vector>

#include "convert/colour.h"
#include "convert/source_picture.h"
#include "display/palette.h"

namespace orvane::testing {

using Rgba = std::array<std::uint8_t, 4>;

// A width x height picture whose pixel (x, y), y = 0 the top row, is pixel(x, y).
inline convert::SourcePicture makePicture(int width, int height, const std::function<Rgba(int, int)>& pixel) {
  std::vector<std::uint8_t> bytes;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const Rgba p = pixel(x, y);
      bytes.insert(bytes.end(), p.begin(), p.end());
    }
  return convert::ownedPicture(width, height, std::move(bytes));
}

// The shipped palette's entries 0..150.
inline std::vector<convert::Rgb8> shippedPictureColours() {
  std::vector<convert::Rgb8> colours;
  for (int e = 0; e <= 150; ++e) {
    const Rgb& c = defaultPalette()[static_cast<std::size_t>(e)];
    colours.push_back({static_cast<std::uint8_t>(c.r), static_cast<std::uint8_t>(c.g), static_cast<std::uint8_t>(c.b)});
  }
  return colours;
}

inline Rgba opaque(convert::Rgb8 c) { return {c.r, c.g, c.b, 255}; }

}  // namespace orvane::testing
