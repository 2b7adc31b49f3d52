// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The palette of a command-line run: which file it comes from, reading it
// without log lines (a command's log shows only its own work), and the
// palette in use written out as Orvane's own palette file or a GIMP palette.
#include <string>

#include "shell/error.h"
#include "shell/file_layer.h"
#include "shell/stores.h"

namespace orvane {

// `chosen` when given; else the one the window loads at start: the palette
// the user chose and remembered, while it is there, else the one beside the
// program (`programDir`, ending in a separator), else the installed one.
std::string paletteToUse(const std::string& chosen, const std::string& programDir);

// Reads the palette file at `path`, in any format Orvane reads, into pal. A
// refused file leaves pal as it was.
Status usePalette(Stores& s, const std::string& path, FileLayer& files = systemFileLayer());

// The palette in use, all 256 entries, as Orvane's own palette file.
std::string ownPaletteText(const Stores& s);
// Entries 0..150, the colours a picture may use, as a GIMP palette.
std::string gimpPaletteText(const Stores& s);

}  // namespace orvane
