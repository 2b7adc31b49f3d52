// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtimage/shrink_on_load.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace orvane::qtimage {

int shrinkFactor(int storedWidth, int storedHeight, bool turned, const convert::Framing& framing, int largest) {
  if (turned) std::swap(storedWidth, storedHeight);
  if (framing.crop && convert::checkFraming(storedWidth, storedHeight, framing)) {
    // The crop's plan at full size, against the preview pixels it fills: a
    // small crop of a large photo keeps more of its pixels than the whole would.
    // The shrunk sides rounded down, as for the whole picture.
    const convert::FitPlan plan = convert::planFit(storedWidth, storedHeight, framing);
    for (int k = 8; k >= 2; k /= 2) {
      if (k > largest) continue;
      const double sx = static_cast<double>(storedWidth / k) / storedWidth;
      const double sy = static_cast<double>(storedHeight / k) / storedHeight;
      if (plan.source.width * sx >= 2.0 * plan.target.width && plan.source.height * sy >= 2.0 * plan.target.height)
        return k;
    }
    return 1;
  }
  for (int k = 8; k >= 2; k /= 2) {
    if (k > largest) continue;
    const int w = storedWidth / k, h = storedHeight / k;
    if (w < 1 || h < 1) continue;
    const convert::FitPlan plan = convert::planFit(w, h, framing.fit);
    if (plan.source.width >= 2.0 * plan.target.width && plan.source.height >= 2.0 * plan.target.height) return k;
  }
  return 1;
}

int storedRowsUsed(int storedWidth, int storedHeight, int orientation, const convert::Framing& framing) {
  if (orientation != 1 && orientation != 2) return storedHeight;
  // A crop outside the picture is refused once it is decoded; until then, all of it.
  if (!convert::checkFraming(storedWidth, storedHeight, framing)) return storedHeight;
  // Orientations 1 and 2 keep the stored rows upright, so the crop's rows are the stored ones.
  const convert::SourceRect used = convert::planFit(storedWidth, storedHeight, framing).source;
  return std::clamp(static_cast<int>(std::ceil(used.y + used.height)), 1, storedHeight);
}

}  // namespace orvane::qtimage
