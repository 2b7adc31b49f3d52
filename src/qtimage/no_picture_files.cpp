// SPDX-License-Identifier: GPL-3.0-or-later
// The picture reader of a build without Qt's image reader (a cross-compiled
// command line): every picture file is refused, saying why.
#include "qtimage/picture_file.h"

namespace orvane::qtimage {

Result<convert::SourcePicture> readPictureFile(const std::string&, const convert::Framing&) {
  return Error{ErrorCode::PictureUnsupported, "this build of Orvane reads no picture files"};
}

void showDecoderWarnings(bool) {}

bool readsDirectly(const std::string&) { return false; }

}  // namespace orvane::qtimage
