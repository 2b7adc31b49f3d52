// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How far a decoder that can scale while it decodes (a JPEG's DCT scaling,
// WebP's scaled decoding) may shrink a picture before the conversion's own
// area average in linear light does the rest.
#include "convert/fit.h"

namespace orvane::qtimage {

// The largest of 8, 4, 2 (up to `largest`) by which the stored picture may
// be divided so that the part of it the fit uses still has at least two
// source pixels for every preview pixel each way; 1 when none may. The sizes
// are rounded down (a decoder returns the rounded-up size at most, which only
// adds room), and `turned` says the picture is viewed a quarter turn round,
// so its width is the preview's height. A crop (in upright pixels) is measured
// at full size: only its pixels count.
int shrinkFactor(int storedWidth, int storedHeight, bool turned, const convert::Framing& framing, int largest = 8);

// One past the last stored row (at full size) that the fit uses, for a
// decoder that reads rows top first and may stop there: a crop of a picture
// taller than 16:9 leaves its bottom rows out, a crop every row below it. The whole height where the
// picture is stored turned or upside down (its Exif orientation other than
// 1 or 2), since its stored rows are then not the upright ones.
int storedRowsUsed(int storedWidth, int storedHeight, int orientation, const convert::Framing& framing);

}  // namespace orvane::qtimage
