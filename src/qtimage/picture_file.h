// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads a picture file of any format Qt's image reader has (PNG, JPEG, GIF,
// BMP of any kind, PPM, and WebP or TIFF where the image-format plugins are
// installed) into the conversion's SourcePicture: upright (the orientation tag
// applied), in sRGB (a colour profile converted), 8-bit RGBA. Shared by the
// window and the command line.
#include <string>

#include "convert/fit.h"
#include "convert/source_picture.h"
#include "shell/error.h"

namespace orvane::qtimage {

// Decoding is refused beforehand when the decoded picture would need more memory than this.
inline constexpr int kAllocationLimitMiB = 256;

// Refusals: the system's error for a file that cannot be opened; IsDirectory
// and NotRegularFile for a folder, a pipe or a device (which are never read,
// so a pipe without a writer cannot hang the caller); PictureEmpty for an
// empty file or a picture without pixels; PictureUnsupported, PictureCorrupt,
// PictureTooLarge as they say. Each message is a short reason for the user.
//
// `fit` only lets a large JPEG be decoded at a half, quarter or eighth of its
// size where the fitted part still has at least twice the preview's pixels
// each way; the rest of the scaling is left to the conversion, in linear light.
Result<convert::SourcePicture> readPictureFile(const std::string& path, convert::FitMode fit);

// The reader as the loadable module hands it out: its file name, and the one
// function it exports, which returns readPictureFile.
using ReadPicture = Result<convert::SourcePicture> (*)(const std::string& path, convert::FitMode fit);
inline constexpr const char* kModuleName = "orvane-pictures.so";
inline constexpr const char* kModuleEntry = "orvane_picture_reader";

}  // namespace orvane::qtimage
