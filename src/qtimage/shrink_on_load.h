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
// so its width is the preview's height.
int shrinkFactor(int storedWidth, int storedHeight, bool turned, convert::FitMode fit, int largest = 8);

}  // namespace orvane::qtimage
