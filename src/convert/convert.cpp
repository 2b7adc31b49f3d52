// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/convert.h"

#include <vector>

namespace orvane::convert {

Result<Conversion> convertPicture(const SourcePicture& source, PaletteMatcher& matcher, const ConvertOptions& options) {
  if (source.width < 1 || source.height < 1 || source.pixels == nullptr)
    return Error{ErrorCode::PictureEmpty, "the picture has no pixels"};
  if (matcher.size() == 0) return Error{ErrorCode::PictureEmpty, "there are no palette colours to map onto"};

  Conversion done;
  done.plan = planFit(source.width, source.height, options.fit);
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
  std::string line = std::to_string(w) + " x " + std::to_string(h) + " picture, ";
  switch (options.fit) {
    case FitMode::Crop: line += "cropped to fill 144 x 81"; break;
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
