// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// WebP files read through libwebp directly: scaled while decoding by the same
// rule as a JPEG's DCT scaling (shrink_on_load.h), which Qt's WebP reader does
// not offer, with the file's ICC profile and Exif orientation.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "convert/fit.h"
#include "qtimage/decoded_picture.h"

namespace orvane::qtimage {

// Reads the WebP file of `size` bytes at `bytes`. Nothing when the file is
// one this reader leaves to Qt's (an animation, of which Qt's shows the first frame).
std::optional<Result<DecodedPicture>> readWebp(const std::uint8_t* bytes, std::size_t size,
                                               const convert::Framing& framing);

}  // namespace orvane::qtimage
