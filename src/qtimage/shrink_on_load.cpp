// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtimage/shrink_on_load.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace orvane::qtimage {

int shrinkFactor(int storedWidth, int storedHeight, bool turned, convert::FitMode fit, int largest) {
  if (turned) std::swap(storedWidth, storedHeight);
  for (int k = 8; k >= 2; k /= 2) {
    if (k > largest) continue;
    const int w = storedWidth / k, h = storedHeight / k;
    if (w < 1 || h < 1) continue;
    const convert::FitPlan plan = convert::planFit(w, h, fit);
    if (plan.source.width >= 2.0 * plan.target.width && plan.source.height >= 2.0 * plan.target.height) return k;
  }
  return 1;
}

int storedRowsUsed(int storedWidth, int storedHeight, int orientation, convert::FitMode fit) {
  if (orientation != 1 && orientation != 2) return storedHeight;
  const convert::SourceRect used = convert::planFit(storedWidth, storedHeight, fit).source;
  return std::clamp(static_cast<int>(std::ceil(used.y + used.height)), 1, storedHeight);
}

}  // namespace orvane::qtimage
