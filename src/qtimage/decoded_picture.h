// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every reader of a picture format hands back before the common last
// steps (colour space into sRGB, 8-bit RGBA), and the decoded-size limit they
// all keep.
#include <QImage>
#include <QSize>
#include <cstdint>
#include <string>

#include "shell/error.h"

namespace orvane::qtimage {

struct DecodedPicture {
  QImage image;   // upright, its colour space set where the file names one
  QSize upright;  // the picture's own size, upright: larger than the image's where it was shrunk on load
  double scaleX = 0, scaleY = 0;  // as convert::SourcePicture has them, upright
};

// True when width x height pixels of `bytesPerPixel` bytes each stay within
// the decoded-size limit (kAllocationLimitMiB).
bool withinDecodeLimit(std::int64_t width, std::int64_t height, int bytesPerPixel);

// The refusal of a picture over that limit, naming its stored size.
Error tooLargeToDecode(std::int64_t width, std::int64_t height);

}  // namespace orvane::qtimage
