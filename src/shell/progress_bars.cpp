// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/progress_bars.h"

#include <cmath>

namespace orvane {

double barWidthTwips(double frameWidth, double part, double whole) {
  if (part == 0) return 0;
  return std::trunc(frameWidth * part / whole) - 30;
}

ProgressBars::ProgressBars(Host& host) : host_(host) {}

void ProgressBars::set(BarId id, BarLook& look, double part, double whole) {
  // A shape cannot take a negative width: a tiny fraction shows as an empty bar.
  const double width = barWidthTwips(static_cast<float>(shape2Width_), part, whole);
  look.widthTwips = width < 0 ? 0 : static_cast<float>(width);
  host_.barChanged(id, look);
}

void ProgressBars::setbar(double part, double whole) { set(BarId::Shape1, shape1_, part, whole); }
void ProgressBars::setbar2(double part, double whole) { set(BarId::Shape3, shape3_, part, whole); }

void ProgressBars::barstate(int state) {
  if (state == kBusy) {
    shape3_.borderColour = kBarBlue;
    shape3_.fillColour = kBarBlue;
    setbar2(0, 5);
  } else if (state == kIdle) {
    shape3_.borderColour = kBarGrey;
    shape3_.fillColour = kBarGrey;
    setbar2(1, 1);
  }
  host_.repaintNow();
}

}  // namespace orvane
