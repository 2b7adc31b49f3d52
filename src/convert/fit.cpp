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

Status checkFraming(int width, int height, const Framing& framing) {
  const std::string picture = std::to_string(width) + " x " + std::to_string(height) + " picture";
  if (const auto& c = framing.crop) {
    if (c->width < 1 || c->height < 1)
      return Error{ErrorCode::OutsidePicture, "the crop " + describeRect(*c) + " is empty"};
    if (c->x < 0 || c->y < 0 || c->x > width - c->width || c->y > height - c->height)
      return Error{ErrorCode::OutsidePicture, "the crop " + describeRect(*c) + " does not lie inside the " + picture};
  }
  if (const auto& f = framing.focus; f && (f->x < 0 || f->y < 0 || f->x >= width || f->y >= height))
    return Error{ErrorCode::OutsidePicture,
                 "the focus " + std::to_string(f->x) + "," + std::to_string(f->y) + " is outside the " + picture};
  return {};
}

std::string describeRect(const PictureRect& rect) {
  return std::to_string(rect.width) + " x " + std::to_string(rect.height) + " at " + std::to_string(rect.x) + "," +
         std::to_string(rect.y);
}

namespace {

// Where a window of `length` starts within [start, start + span): centred in
// it, or on `centre` as far as the span allows.
double windowStart(double start, double span, double length, std::optional<double> centre) {
  if (!centre) return start + (span - length) / 2;
  return std::clamp(*centre - length / 2, start, start + span - length);
}

}  // namespace

FitPlan planFit(int width, int height, FitMode mode) { return planFit(width, height, Framing(mode)); }

FitPlan planFit(int width, int height, const Framing& framing) {
  const PictureRect part = framing.crop.value_or(PictureRect{0, 0, width, height});
  const double w = part.width, h = part.height;
  FitPlan plan{{static_cast<double>(part.x), static_cast<double>(part.y), w, h}, {0, 0, kTargetWidth, kTargetHeight}};
  // Compared as cross products, so that an exact 16:9 source takes no crop at all.
  const double wideness = w * kTargetHeight - h * kTargetWidth;  // > 0: wider than the preview
  // The focus pixel's centre.
  std::optional<double> focusX, focusY;
  if (framing.focus) focusX = framing.focus->x + 0.5, focusY = framing.focus->y + 0.5;
  if (framing.fit == FitMode::Crop) {
    if (wideness > 0) {
      plan.source.width = h * kTargetWidth / kTargetHeight;
      plan.source.x = windowStart(part.x, w, plan.source.width, focusX);
    } else if (wideness < 0) {
      plan.source.height = w * kTargetHeight / kTargetWidth;
      plan.source.y = windowStart(part.y, h, plan.source.height, focusY);
    }
  } else if (framing.fit == FitMode::Pad) {
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
