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
#include "shell/index_picture.h"

namespace orvane::convert {

enum class Dither { FloydSteinberg, None };

// "fs", "none", and back; nothing for any other word.
std::optional<Dither> ditherNamed(std::string_view name);
const char* ditherName(Dither dither);

// The preview's palette indices go into the one picture type of the stores.
static_assert(kTargetWidth == kPictureWidth && kTargetHeight == kPictureHeight);

// Maps the area `area` of `canvas` (kCanvasPixels entries, which the
// diffusion changes) into the same area of `out`. Error only spreads inside
// the area: bars around it stay untouched.
void mapToPalette(std::span<Linear> canvas, const TargetRect& area, PaletteMatcher& matcher, Dither dither,
                  IndexPicture& out);

}  // namespace orvane::convert
