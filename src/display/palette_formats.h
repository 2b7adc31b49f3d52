// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Palettes in the formats painting programs write, read into the same table
// as Orvane's own palette text file:
//   - Orvane's text file (four fields an entry, see palette.h);
//   - GIMP palettes ("GIMP Palette" and one "R G B name" line a colour);
//   - JASC palettes ("JASC-PAL", "0100", a count, one "R G B" line a colour);
//   - RIFF palettes ("RIFF" ... "PAL ", a "data" chunk of 4-byte entries);
//   - Photoshop colour tables (.act: 768 bytes of RGB, and optionally a count);
//   - the colour table of an 8-bit (or fewer bits) BMP.
// The format is told by the bytes, except for .act, which has no signature and
// is told by its name and size. Entries a file does not hold keep the default
// colours; a damaged file is refused whole, naming what is wrong.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "display/palette.h"

namespace orvane {

enum class PaletteFormat { OrvaneText, Gimp, Jasc, Riff, Act, Bmp };

// "Orvane palette", "GIMP palette", "JASC palette", "RIFF palette",
// "Photoshop colour table", "BMP colour table".
const char* paletteFormatName(PaletteFormat format);

// The format of a palette file from its first bytes (and, for .act, its name).
PaletteFormat detectPaletteFormat(std::span<const std::uint8_t> bytes, std::string_view name);

struct AnyPalette {
  PaletteFormat format = PaletteFormat::OrvaneText;
  PaletteParse parse;  // the table, the entries read, and why it failed if it did
};

// Reads a palette in any of the formats above. `name` is the file's name (for
// .act and for the messages).
AnyPalette parseAnyPalette(std::span<const std::uint8_t> bytes, std::string_view name);

// "Colours from PATH (FORMAT, N entries).", the log line that says where the
// palette in use came from.
std::string coloursFromLine(const std::string& path, const AnyPalette& palette);

// Reads a palette file of any of the formats above; a file that cannot be
// opened or read keeps the defaults and says so.
AnyPalette readAnyPaletteFile(const std::string& path, FileLayer& files = systemFileLayer());

}  // namespace orvane
