// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Turning the scaled picture into palette indices: each pixel the nearest
// entry, and by default with Floyd-Steinberg error diffusion in linear light,
// row by row in alternating directions (serpentine), so that areas between
// two palette colours come out as a fine mix whose average is the original
// colour instead of a flat band of the nearer one.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "convert/downscale.h"
#include "convert/palette_matcher.h"

namespace orvane::convert {

enum class Dither { FloydSteinberg, None };

// "fs", "none", and back; nothing for any other word.
std::optional<Dither> ditherNamed(std::string_view name);
const char* ditherName(Dither dither);

// Palette indices of the preview, row-major, top row first.
struct IndexPicture {
  std::array<std::uint8_t, kCanvasPixels> index{};
  std::uint8_t at(int x, int y) const { return index[static_cast<std::size_t>(y * kTargetWidth + x)]; }
  std::uint8_t& at(int x, int y) { return index[static_cast<std::size_t>(y * kTargetWidth + x)]; }
};

// Maps the area `area` of `canvas` (kCanvasPixels entries, which the
// diffusion changes) into the same area of `out`. Error only spreads inside
// the area: bars around it stay untouched.
void mapToPalette(std::span<Linear> canvas, const TargetRect& area, PaletteMatcher& matcher, Dither dither,
                  IndexPicture& out);

}  // namespace orvane::convert
