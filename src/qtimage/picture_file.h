// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads a picture file of any format Qt's image reader has (PNG, JPEG, GIF,
// BMP of any kind, PPM, and WebP or TIFF where the image-format plugins are
// installed; JPEG through libjpeg directly where the build found it) into the conversion's SourcePicture: upright (the
// orientation tag applied), in sRGB (a colour profile converted), 8-bit RGBA. Shared by the window and the command
// line.
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
// `framing` only lets a large JPEG be decoded at a half, quarter or eighth of its
// size where the fitted part (of its crop, if any) still has at least twice the
// preview's pixels each way (shrink_on_load.h), and the rows below that part
// be left undecoded; the rest of the scaling is left to the conversion, in
// linear light, on the size the decoder returned. The crop itself is checked
// by the conversion, which knows the picture's size.
Result<convert::SourcePicture> readPictureFile(const std::string& path, const convert::Framing& framing);

// True when this build reads the format ("jpeg", "png", "webp") through the
// format's own library rather than Qt's image reader.
bool readsDirectly(const std::string& format);

// Lets the warnings of Qt's image readers (a PNG's "iCCP: known incorrect sRGB
// profile") through to the terminal, as they are while a picture is read only
// when this was called with true. For a program that asks to be told more.
void showDecoderWarnings(bool shown);

// The reader as the loadable module hands it out: its file name, and the one
// function it exports, which returns readPictureFile.
using ReadPicture = Result<convert::SourcePicture> (*)(const std::string& path, const convert::Framing& framing);
inline constexpr const char* kModuleName = "orvane-pictures.so";
inline constexpr const char* kModuleEntry = "orvane_picture_reader";
// The module's showDecoderWarnings, by name.
using ShowDecoderWarnings = void (*)(bool shown);
inline constexpr const char* kModuleWarningsEntry = "orvane_show_decoder_warnings";

}  // namespace orvane::qtimage
