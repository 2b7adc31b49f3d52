// SPDX-License-Identifier: GPL-3.0-or-later
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

Picture composeRows(const Stores& s, std::span<const std::uint8_t> rows) {
  Picture pic;
  for (int y = 0; y < kPictureHeight; ++y)
    for (int x = 0; x < kPictureWidth; ++x) {
      const std::size_t at = static_cast<std::size_t>(y * kStoredRowBytes + kFirstPixelPlace + x);
      pic.at(x, y) = at < rows.size() ? paletteArgb(s, rows[at]) : 0xFF000000u;
    }
  return pic;
}

void drawat(Core& core, int isx, int isy, int which) {
  if (which < 0 || which > kMaxPreviews) return;
  core.host.paintGridPicture(isx, isy, composePreview(core.s, which));
}

void draw1(Core& core) { core.host.paintBufferPicture(composeBuffer(core.s)); }

}  // namespace orvane
