// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/drawing.h"

#include "display/palette.h"

namespace orvane {

Picture composePicture(const Stores& s, const IndexPicture& picture) {
  Picture pic;
  for (int y = 0; y < kPictureHeight; ++y)
    for (int x = 0; x < kPictureWidth; ++x) pic.at(x, y) = paletteArgb(s, picture.at(x, y));
  return pic;
}

Picture composePreview(const Stores& s, int which) { return composePicture(s, s.preview(which).pixels); }

Picture composeBuffer(const Stores& s) { return composePicture(s, s.pictureBuffer().pixels); }

void drawat(Core& core, int isx, int isy, int which) {
  if (which < 0 || which > kMaxPreviews) return;
  core.host.paintGridPicture(isx, isy, composePreview(core.s, which));
}

void draw1(Core& core) { core.host.paintBufferPicture(composeBuffer(core.s)); }

}  // namespace orvane
