// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The orientation tag of a picture's Exif block: how the stored pixels are
// turned or mirrored to be seen upright.
#include <cstdint>
#include <span>

namespace orvane::qtimage {

// The tag's value, 1 (upright as stored) to 8, from the body of a JPEG's
// APP1 segment ("Exif\0\0" and a TIFF structure). Anything missing, damaged
// or out of range counts as 1.
int exifOrientation(std::span<const std::uint8_t> app1);
// The same from an Exif block with or without that "Exif\0\0" in front (as a
// WebP file's EXIF chunk holds it).
int tiffOrientation(std::span<const std::uint8_t> exif);

// True for the values 5 to 8, whose upright picture is a quarter turn round
// from the stored one (its width is the stored height).
inline bool turnsQuarter(int orientation) { return orientation >= 5 && orientation <= 8; }

}  // namespace orvane::qtimage
