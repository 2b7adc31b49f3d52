// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/grid.h"

#include "display/drawing.h"

namespace orvane {

int pageMaximumFor(int piccount) { return piccount % 12 == 0 ? piccount / 12 - 1 : piccount / 12; }

void drawPage(Core& core) {
  Stores& s = core.s;
  draw1(core);
  s.page = core.host.pageValue();
  core.host.clearGrid();
  for (int k = 0; k <= 11; ++k) {
    const long long n = 12LL * s.page + k;
    if (n >= 0 && n < s.piccount) drawat(core, s.cellX(k + 1), s.cellY(k + 1), static_cast<int>(n + 1));
  }
}

void pageScrolled(Core& core) { drawPage(core); }

}  // namespace orvane
