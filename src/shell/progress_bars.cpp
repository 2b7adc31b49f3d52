// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/progress_bars.h"

#include <cmath>

namespace orvane {

double barWidthTwips(double frameWidth, double axe, double axela) {
  if (axe == 0) return 0;
  return std::trunc(frameWidth * axe / axela) - 30;
}

ProgressBars::ProgressBars(Host& host) : host_(host) {}

void ProgressBars::set(BarId id, BarLook& look, double axe, double axela) {
  // A shape cannot take a negative width: a tiny fraction shows as an empty bar.
  const double width = barWidthTwips(static_cast<float>(shape2Width_), axe, axela);
  look.widthTwips = width < 0 ? 0 : static_cast<float>(width);
  host_.barChanged(id, look);
}

void ProgressBars::setbar(double axe, double axela) { set(BarId::Shape1, shape1_, axe, axela); }
void ProgressBars::setbar2(double axe, double axela) { set(BarId::Shape3, shape3_, axe, axela); }

void ProgressBars::barstate(int axe) {
  if (axe == kBusy) {
    shape3_.borderColour = kBarBlue;
    shape3_.fillColour = kBarBlue;
    setbar2(0, 5);
  } else if (axe == kIdle) {
    shape3_.borderColour = kBarGrey;
    shape3_.fillColour = kBarGrey;
    setbar2(1, 1);
  }
  host_.repaintNow();
}

}  // namespace orvane
