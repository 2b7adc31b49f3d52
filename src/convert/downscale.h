// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Scaling a part of a picture onto a part of the preview by area averaging in
// linear light: every preview pixel is the exact area-weighted mean of the
// source it covers, so fine detail averages to the colour the eye sees from a
// distance instead of aliasing. Transparency is put over black on the way
// (the colour times its opacity, in linear light).
#include <span>

#include "convert/colour.h"
#include "convert/fit.h"
#include "convert/source_picture.h"

namespace orvane::convert {

// One canvas pixel per preview pixel, row-major, top row first.
inline constexpr int kCanvasPixels = kTargetWidth * kTargetHeight;

// Fills the plan's target rectangle of `canvas` (kCanvasPixels entries) from
// the plan's source rectangle of `source`; the rest of the canvas is left as
// it is. A source smaller than its target is enlarged the same way, each
// preview pixel taking the share of the source pixels under it.
void areaAverage(const SourcePicture& source, const FitPlan& plan, std::span<Linear> canvas);

}  // namespace orvane::convert
