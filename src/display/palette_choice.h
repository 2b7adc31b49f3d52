// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The palette the user chose (File > Load Palette..., or --palette on the
// command line when asked to remember it), kept across runs as one line - the
// file's path - in "palette" in the user's settings folder, so that the window
// and the command line use the same colours until another palette is chosen.
#include <string>

#include "shell/core.h"
#include "shell/error.h"
#include "shell/file_layer.h"

namespace orvane {

// The settings file that holds the choice; empty when the system has no
// settings folder for the user.
std::string paletteChoiceFile();

// The palette path the user chose last; empty when none was chosen (or the
// settings file cannot be read).
std::string rememberedPalette(FileLayer& files = systemFileLayer());

// Remembers `path` (made absolute by the caller) as the user's palette.
Status rememberPalette(const std::string& path, FileLayer& files = systemFileLayer());

// The user picked a palette file: logs "Starting to load palette", reads it in
// any format palette_formats.h knows and, when it is whole, puts it into pal,
// logs "Palette loaded." and where the colours came from, and remembers it.
// A file that is refused is said so in the log and returned; the colours in
// use stay as they were.
Status chooseOwnPalette(Core& core, const std::string& path, FileLayer& files = systemFileLayer());

}  // namespace orvane
