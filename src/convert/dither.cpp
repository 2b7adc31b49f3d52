// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/dither.h"

#include <algorithm>

namespace orvane::convert {

std::optional<Dither> ditherNamed(std::string_view name) {
  if (name == "fs") return Dither::FloydSteinberg;
  if (name == "none") return Dither::None;
  return std::nullopt;
}

const char* ditherName(Dither dither) { return dither == Dither::None ? "none" : "fs"; }

namespace {

void spread(Linear& to, const Linear& error, float share) {
  to.r += error.r * share;
  to.g += error.g * share;
  to.b += error.b * share;
}

}  // namespace

void mapToPalette(std::span<Linear> canvas, const TargetRect& area, PaletteMatcher& matcher, Dither dither,
                  IndexPicture& out) {
  const auto cell = [&](int x, int y) -> Linear& { return canvas[static_cast<std::size_t>(y * kTargetWidth + x)]; };
  for (int y = area.y; y < area.y + area.height; ++y) {
    const bool leftToRight = dither == Dither::None || (y - area.y) % 2 == 0;
    const int step = leftToRight ? 1 : -1;
    for (int i = 0; i < area.width; ++i) {
      const int x = leftToRight ? area.x + i : area.x + area.width - 1 - i;
      Linear& here = cell(x, y);
      // What is left after the nearest colour is taken from the pixel goes on
      // to its neighbours; a colour outside what the screen shows is first
      // brought inside, so that no error builds up that nothing can pay back.
      here = {std::clamp(here.r, 0.0f, 1.0f), std::clamp(here.g, 0.0f, 1.0f), std::clamp(here.b, 0.0f, 1.0f)};
      const int entry = matcher.nearest(here);
      out.at(x, y) = static_cast<std::uint8_t>(entry);
      if (dither == Dither::None) continue;

      const Linear& chosen = matcher.linear(entry);
      const Linear error{here.r - chosen.r, here.g - chosen.g, here.b - chosen.b};
      const bool hasNext = i + 1 < area.width, hasBelow = y + 1 < area.y + area.height;
      if (hasNext) spread(cell(x + step, y), error, 7.0f / 16);
      if (!hasBelow) continue;
      if (i > 0) spread(cell(x - step, y + 1), error, 3.0f / 16);
      spread(cell(x, y + 1), error, 5.0f / 16);
      if (hasNext) spread(cell(x + step, y + 1), error, 1.0f / 16);
    }
  }
}

}  // namespace orvane::convert
