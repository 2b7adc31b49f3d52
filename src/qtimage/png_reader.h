// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// PNG files read through libspng directly, row by row: each row is shrunk as
// it arrives (convert/box_reduce.h) by the same rule as a JPEG's DCT scaling
// (shrink_on_load.h), so a large PNG is never held at its full size. With the
// file's ICC profile or chromaticities, and its eXIf orientation.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "convert/fit.h"
#include "qtimage/decoded_picture.h"

namespace orvane::qtimage {

// Reads the PNG file of `size` bytes at `bytes`. Nothing when the file is one
// this reader leaves to Qt's (an interlaced PNG, whose rows come in seven passes).
std::optional<Result<DecodedPicture>> readPng(const std::uint8_t* bytes, std::size_t size,
                                              const convert::Framing& framing);

}  // namespace orvane::qtimage
