// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// JPEG files read through libjpeg(-turbo) directly: shrunk while decoding by
// the largest DCT scaling the fit allows (shrink_on_load.h), and a progressive
// file shrunk to an eighth read only as far as its first complete DC scans,
// which hold everything an eighth-size picture is made of.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "convert/fit.h"
#include "qtimage/decoded_picture.h"

namespace orvane::qtimage {

// Reads the JPEG file of `size` bytes at `bytes`. Nothing when the file is
// one this reader leaves to Qt's (a CMYK JPEG). A file cut short is refused
// as damaged.
std::optional<Result<DecodedPicture>> readJpeg(const std::uint8_t* bytes, std::size_t size,
                                               const convert::Framing& framing);

}  // namespace orvane::qtimage
