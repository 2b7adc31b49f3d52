// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a picture of any size is fitted to the 144 x 81 of a scene preview.
#include <optional>
#include <string_view>

namespace orvane::convert {

inline constexpr int kTargetWidth = 144;
inline constexpr int kTargetHeight = 81;

enum class FitMode {
  Crop,     // fill the whole preview, cutting the excess off both sides equally
  Pad,      // show the whole picture, with bars above and below or left and right
  Stretch,  // fill the whole preview, changing the picture's proportions
};

// "crop", "pad", "stretch", and back; nothing for any other word.
std::optional<FitMode> fitModeNamed(std::string_view name);
const char* fitModeName(FitMode mode);

// A rectangle of the source in pixel units, edges anywhere between pixels.
struct SourceRect {
  double x = 0, y = 0, width = 0, height = 0;
};
// A rectangle of the 144 x 81 preview, whole pixels.
struct TargetRect {
  int x = 0, y = 0, width = 0, height = 0;
};

// What of the source goes where in the preview: the source rectangle is
// scaled onto the target rectangle; the preview outside it is bars.
struct FitPlan {
  SourceRect source;
  TargetRect target;
};

// The plan for a source of width x height pixels (both at least 1). Crop and
// pad keep the proportions and centre the picture; a pad's picture part is at
// least one pixel each way.
FitPlan planFit(int width, int height, FitMode mode);

}  // namespace orvane::convert
