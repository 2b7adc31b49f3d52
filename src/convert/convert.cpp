// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/convert.h"

#include <vector>

namespace orvane::convert {

namespace {

// The fit planned on the picture's own size and carried onto the pixels as
// decoded: a picture shrunk on load is cropped exactly where its whole would be.
FitPlan planOnDecoded(const SourcePicture& source, const Framing& fit) {
  const int w = source.fullWidth > 0 ? source.fullWidth : source.width;
  const int h = source.fullHeight > 0 ? source.fullHeight : source.height;
  if (w == source.width && h == source.height) return planFit(w, h, fit);
  FitPlan plan = planFit(w, h, fit);
  const double sx = source.scaleX > 0 ? source.scaleX : static_cast<double>(w) / source.width;
  const double sy = source.scaleY > 0 ? source.scaleY : static_cast<double>(h) / source.height;
  plan.source.x /= sx;
  plan.source.width /= sx;
  plan.source.y /= sy;
  plan.source.height /= sy;
  return plan;
}

}  // namespace

Result<Conversion> convertPicture(const SourcePicture& source, PaletteMatcher& matcher, const ConvertOptions& options) {
  if (source.width < 1 || source.height < 1 || source.pixels == nullptr)
    return Error{ErrorCode::PictureEmpty, "the picture has no pixels"};
  if (matcher.size() == 0) return Error{ErrorCode::PictureEmpty, "there are no palette colours to map onto"};

  const int w = source.fullWidth > 0 ? source.fullWidth : source.width;
  const int h = source.fullHeight > 0 ? source.fullHeight : source.height;
  if (const Status inside = checkFraming(w, h, options.framing); !inside) return inside.error();

  Conversion done;
  done.plan = planOnDecoded(source, options.framing);
  const TargetRect& t = done.plan.target;
  if (t.width < kTargetWidth || t.height < kTargetHeight) {
    done.barEntry = matcher.nearest(Linear{});
    done.picture.index.fill(static_cast<std::uint8_t>(done.barEntry));
  }
  std::vector<Linear> canvas(kCanvasPixels);
  areaAverage(source, done.plan, canvas);
  mapToPalette(canvas, t, matcher, options.dither, done.picture);
  return done;
}

std::string describeConversion(const SourcePicture& source, const ConvertOptions& options, const Conversion& done) {
  const int w = source.fullWidth > 0 ? source.fullWidth : source.width;
  const int h = source.fullHeight > 0 ? source.fullHeight : source.height;
  const Framing& framing = options.framing;
  std::string line = std::to_string(w) + " x " + std::to_string(h) + " picture, ";
  if (framing.crop) line += "crop " + describeRect(*framing.crop) + ", ";
  switch (framing.fit) {
    case FitMode::Crop:
      line += "cropped to fill 144 x 81";
      if (framing.focus) line += " around " + std::to_string(framing.focus->x) + "," + std::to_string(framing.focus->y);
      break;
    case FitMode::Stretch: line += "stretched to 144 x 81"; break;
    case FitMode::Pad:
      line += "fitted inside 144 x 81";
      if (done.barEntry >= 0) line += " with bars of entry " + std::to_string(done.barEntry);
      break;
  }
  line += options.dither == Dither::FloydSteinberg ? ", Floyd-Steinberg dithering" : ", no dithering";
  return line;
}

}  // namespace orvane::convert
