// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/gimp_palette.h"

#include <cstdio>

#include "display/palette.h"

namespace orvane {

std::string gimpPalette(const Stores& s) {
  std::string text = "GIMP Palette\nName: Mevrik scene previews\nColumns: 16\n#\n";
  for (int e = 0; e <= kHighestPictureColour; ++e) {
    const std::uint32_t argb = paletteArgb(s, e);
    char line[48];
    std::snprintf(line, sizeof line, "%3u %3u %3u\tEntry %d\n", (argb >> 16) & 0xFFu, (argb >> 8) & 0xFFu, argb & 0xFFu,
                  e);
    text += line;
  }
  return text;
}

}  // namespace orvane
