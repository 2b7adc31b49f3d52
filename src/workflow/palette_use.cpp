// SPDX-License-Identifier: GPL-3.0-or-later
#include "workflow/palette_use.h"

#include "display/gimp_palette.h"
#include "display/palette.h"
#include "display/palette_choice.h"

namespace orvane {

std::string paletteToUse(const std::string& chosen, const std::string& programDir) {
  return chosen.empty() ? paletteToLoad(programDir, rememberedPalette()) : chosen;
}

Status usePalette(Stores& s, const std::string& path, FileLayer& files) { return loadPaletteInto(s, path, files); }

std::string ownPaletteText(const Stores& s) {
  PaletteTable table{};
  for (int e = 0; e < kPaletteEntries; ++e)
    table[static_cast<std::size_t>(e)] = {static_cast<std::int16_t>(s.palComponent(e, 1)),
                                          static_cast<std::int16_t>(s.palComponent(e, 2)),
                                          static_cast<std::int16_t>(s.palComponent(e, 3))};
  return formatPaletteFile(table);
}

std::string gimpPaletteText(const Stores& s) { return gimpPalette(s); }

}  // namespace orvane
