#include "display/drawing.h"

#include <algorithm>

#include "display/palette.h"

namespace orvane {

Picture composePreview(const Stores& s, int which) {
  Picture pic;
  const auto& preview = s.pics[static_cast<std::size_t>(which)];
  for (int row = 1; row <= kPictureHeight; ++row)
    for (int col = 1; col <= kPictureWidth; ++col) {
      const int v = std::clamp<int>(preview[row][col + 2], 0, 255);
      pic.at(col - 1, row - 1) = paletteArgb(s, v);
    }
  return pic;
}

Picture composeBuffer(const Stores& s) {
  Picture pic;
  for (int y = 0; y <= 80; ++y)
    for (int x = 0; x <= 143; ++x) {
      // Cells hold single bytes; the clamp only guards the table index.
      const int v = std::clamp<int>(s.blimp[80 - y][x + 2], 0, 255);
      pic.at(x, y) = paletteArgb(s, v);
    }
  return pic;
}

void drawat(Core& core, int isx, int isy, int which) {
  if (which < 0 || which > kMaxPreviews) return;
  core.host.paintGridPicture(isx, isy, composePreview(core.s, which));
}

void draw1(Core& core) { core.host.paintBufferPicture(composeBuffer(core.s)); }

}  // namespace orvane
