// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the main window does when it loads: title lines, resting bars, palette.
#include <string>

#include "shell/core.h"

namespace orvane {

// "Orvane v0.9": the title line, from the build's version numbers.
std::string titleLine();
// The one-line credit written under "About" after the title.
std::string creditLine();

// Title, credit, bars at rest (lower grey and full, upper full), then the palette
// from appdir.
void Form_Load(Core& core);

}  // namespace orvane
