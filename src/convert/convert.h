// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A decoded picture of any size to a 144 x 81 picture of palette indices:
// fitted (crop, pad or stretch), scaled by area averaging in linear light with
// transparency over black, then mapped onto the palette entries given, with
// or without error diffusion.
#include <string>

#include "convert/dither.h"
#include "convert/fit.h"
#include "convert/palette_matcher.h"
#include "convert/source_picture.h"
#include "shell/error.h"

namespace orvane::convert {

struct ConvertOptions {
  Framing framing;  // a fit mode alone fits the whole picture
  Dither dither = Dither::FloydSteinberg;
};

struct Conversion {
  IndexPicture picture;
  FitPlan plan;       // in the decoded picture's pixels
  int barEntry = -1;  // the entry of the bars (nearest to black), -1 when there are none
};

// PictureEmpty for a picture without pixels; OutsidePicture for a crop or
// focus outside the picture's own size (checkFraming); otherwise the conversion.
Result<Conversion> convertPicture(const SourcePicture& source, PaletteMatcher& matcher, const ConvertOptions& options);

// One line for the log: the picture's own size, the fit and the dithering, as
// "4000 x 3000 picture, cropped to fill 144 x 81, Floyd-Steinberg dithering";
// a crop follows the size ("4000 x 3000 picture, crop 3200 x 1800 at 100,200,
// cropped to fill ..."), a focus the crop fit ("cropped to fill 144 x 81
// around 1200,800").
std::string describeConversion(const SourcePicture& source, const ConvertOptions& options, const Conversion& done);

}  // namespace orvane::convert
