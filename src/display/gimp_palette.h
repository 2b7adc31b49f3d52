// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The palette entries a picture may use (0..150) as a GIMP palette file, the
// palette format GIMP, Krita, Inkscape and Aseprite all read: paint with those
// colours and every pixel converts back to its own entry.
#include <string>

#include "shell/stores.h"

namespace orvane {

// "GIMP Palette", a name, 16 columns, then one line per entry in entry order:
// red, green, blue (each right-aligned in three places), a tab and the entry's
// name, "Entry <n>". Lines end in LF.
std::string gimpPalette(const Stores& s);

}  // namespace orvane
