// SPDX-License-Identifier: GPL-3.0-or-later
// The loadable module's one export: the picture reader, for a program that
// does not link Qt itself.
#include "qtimage/picture_file.h"

extern "C" __attribute__((visibility("default"))) orvane::qtimage::ReadPicture orvane_picture_reader() {
  return &orvane::qtimage::readPictureFile;
}

extern "C" __attribute__((visibility("default"))) void orvane_show_decoder_warnings(bool shown) {
  orvane::qtimage::showDecoderWarnings(shown);
}
