#include "display/drawing.h"

#include "display/palette.h"

namespace orvane {

Picture composePreview(const Stores& s, int which) {
  Picture pic;
  for (int y = 0; y < kPictureHeight; ++y)
    for (int x = 0; x < kPictureWidth; ++x) pic.at(x, y) = paletteArgb(s, s.previewPixel(which, y, x));
  return pic;
}

Picture composeBuffer(const Stores& s) {
  Picture pic;
  for (int y = 0; y < kPictureHeight; ++y)
    for (int x = 0; x < kPictureWidth; ++x) pic.at(x, y) = paletteArgb(s, s.bufferPixel(y, x));
  return pic;
}

void drawat(Core& core, int isx, int isy, int which) {
  if (which < 0 || which > kMaxPreviews) return;
  core.host.paintGridPicture(isx, isy, composePreview(core.s, which));
}

void draw1(Core& core) { core.host.paintBufferPicture(composeBuffer(core.s)); }

}  // namespace orvane
