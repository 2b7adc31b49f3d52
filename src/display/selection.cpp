// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/selection.h"

#include "shell/picture.h"

namespace orvane {

int hitCell(const Stores& s, double x, double y) {
  int hit = 0;
  for (int k = 1; k <= kGridCells; ++k) {
    const double cx = s.cellX(k);
    const double cy = s.cellY(k);
    // Both edges count: the area is one pixel wider and taller than the picture.
    if (cx <= x && x <= cx + kPictureWidth && cy <= y && y <= cy + kPictureHeight) hit = k;
  }
  return hit;
}

int selectPreviewAt(Core& core, double x, double y, int pageValue) {
  const int k = hitCell(core.s, x, y);
  if (k == 0) return 0;
  const long long candidate = 12LL * pageValue + k;
  if (candidate < 1 || candidate > core.s.piccount) return 0;
  core.s.selpic = static_cast<std::int16_t>(candidate);
  return static_cast<int>(candidate);
}

}  // namespace orvane
