// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/fit.h"

#include <algorithm>
#include <cmath>

namespace orvane::convert {

std::optional<FitMode> fitModeNamed(std::string_view name) {
  if (name == "crop") return FitMode::Crop;
  if (name == "pad") return FitMode::Pad;
  if (name == "stretch") return FitMode::Stretch;
  return std::nullopt;
}

const char* fitModeName(FitMode mode) {
  switch (mode) {
    case FitMode::Crop: return "crop";
    case FitMode::Pad: return "pad";
    case FitMode::Stretch: return "stretch";
  }
  return "crop";
}

FitPlan planFit(int width, int height, FitMode mode) {
  const double w = width, h = height;
  FitPlan plan{{0, 0, w, h}, {0, 0, kTargetWidth, kTargetHeight}};
  // Compared as cross products, so that an exact 16:9 source takes no crop at all.
  const double wideness = w * kTargetHeight - h * kTargetWidth;  // > 0: wider than the preview
  if (mode == FitMode::Crop) {
    if (wideness > 0) {
      plan.source.width = h * kTargetWidth / kTargetHeight;
      plan.source.x = (w - plan.source.width) / 2;
    } else if (wideness < 0) {
      plan.source.height = w * kTargetHeight / kTargetWidth;
      plan.source.y = (h - plan.source.height) / 2;
    }
  } else if (mode == FitMode::Pad) {
    if (wideness > 0) {
      plan.target.height = std::clamp(static_cast<int>(std::lround(h * kTargetWidth / w)), 1, kTargetHeight);
      plan.target.y = (kTargetHeight - plan.target.height) / 2;
    } else if (wideness < 0) {
      plan.target.width = std::clamp(static_cast<int>(std::lround(w * kTargetHeight / h)), 1, kTargetWidth);
      plan.target.x = (kTargetWidth - plan.target.width) / 2;
    }
  }
  return plan;
}

}  // namespace orvane::convert
