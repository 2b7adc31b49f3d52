// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads the one kind of BMP a replacement picture may be: 144 x 81, 8 bits per
// pixel, uncompressed, bottom-up. Pixel bytes are palette indices, taken as
// they are; the colour table is not read.
#include <string>

#include "replace/bmp_format.h"
#include "shell/error.h"
#include "shell/file_layer.h"
#include "shell/index_picture.h"

namespace orvane {

// Checks the header fields in order (the first failure counts): "BM", bfSize
// equal to the file length, 144 x 81, 8 bits per pixel, no compression, and a
// pixel area that lies inside the file; then reads the pixel rows, found
// through bfOffBits, into a picture top row first. A compressed file is
// BmpCompressed (its message tells the user how to save it uncompressed), any
// other refusal BmpRefused, and a file that cannot be opened or read the
// system's error.
Result<IndexPicture> readBmp(const std::string& filename, FileLayer& files = systemFileLayer());

}  // namespace orvane
