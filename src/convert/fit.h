// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a picture of any size is fitted to the 144 x 81 of a scene preview.
#include <optional>
#include <string>
#include <string_view>

#include "shell/error.h"

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

// A rectangle and a point of the upright picture (its orientation tag
// applied), in whole pixels from its top left corner.
struct PictureRect {
  int x = 0, y = 0, width = 0, height = 0;
  friend bool operator==(const PictureRect&, const PictureRect&) = default;
};
struct PicturePoint {
  int x = 0, y = 0;
  friend bool operator==(const PicturePoint&, const PicturePoint&) = default;
};

// Which part of the picture is used and how it is fitted. Without a crop the
// whole picture is fitted; with one, only that rectangle, which the fit then
// treats as the whole picture (crop cuts it further to 16:9 round its centre,
// pad and stretch use all of it). The focus is a point the crop fit keeps in
// view: its 16:9 window is centred on it as far as the picture (or the crop)
// allows; pad and stretch cut nothing, so it changes nothing there.
struct Framing {
  FitMode fit = FitMode::Crop;
  std::optional<PictureRect> crop;
  std::optional<PicturePoint> focus;

  Framing() = default;
  Framing(FitMode mode) : fit(mode) {}  // NOLINT(google-explicit-constructor): a fit mode is a whole-picture framing
  Framing(FitMode mode, std::optional<PictureRect> part, std::optional<PicturePoint> point = std::nullopt)
      : fit(mode), crop(part), focus(point) {}
};

// OutsidePicture when the crop is empty or reaches outside a picture of
// width x height, or the focus lies outside it.
Status checkFraming(int width, int height, const Framing& framing);

// "3200 x 1800 at 100,200"
std::string describeRect(const PictureRect& rect);

// The plan for a source of width x height pixels (both at least 1). Crop and
// pad keep the proportions and centre the picture; a pad's picture part is at
// least one pixel each way. With a framing, the plan covers only its crop
// (which must lie inside the picture: checkFraming).
FitPlan planFit(int width, int height, FitMode mode);
FitPlan planFit(int width, int height, const Framing& framing);

}  // namespace orvane::convert
