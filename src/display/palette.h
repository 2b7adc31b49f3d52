// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The palette file: 256 entries of four fields (an ignored leading field, red,
// green, blue), separated by commas or line ends, and the colour of an entry.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "shell/core.h"
#include "shell/error.h"
#include "shell/file_layer.h"

namespace orvane {

inline constexpr int kPaletteEntries = 256;
inline constexpr const char* kPaletteFileName = "mevrik.palette";

struct Rgb {
  std::int16_t r = 0, g = 0, b = 0;
};
using PaletteTable = std::array<Rgb, kPaletteEntries>;

// The layout of our own general-purpose palette: 0..15 greys from black to
// white; 16..150 fifteen hues of nine shades each (dark to light); 151..255 the
// same fifteen hues in seven muted tones.
enum class Hue { Red, Orange, Amber, Yellow, Lime, Green, Jade, Teal, Cyan, Sky, Blue, Indigo, Violet, Purple, Rose };
inline constexpr int kGreys = 16;
inline constexpr int kHues = 15;
inline constexpr int kShades = 9;
inline constexpr int kMutedTones = 7;
// The entry of grey `level` (0 black .. 15 white) and of shade 0..8 of a hue.
constexpr int greyEntry(int level) { return level; }
constexpr int shadeEntry(Hue hue, int shade) { return kGreys + static_cast<int>(hue) * kShades + shade; }
static_assert(shadeEntry(Hue::Rose, kShades - 1) == 150, "the shades end at the highest picture colour");

// That palette, used for every entry a file could not supply.
const PaletteTable& defaultPalette();
// The shipped palette file's text for the table above, one named entry per line.
std::string formatPaletteFile(const PaletteTable& table);

struct PaletteParse {
  PaletteTable table{};  // entries 0..entriesRead-1 from the text, the rest defaults
  int entriesRead = 0;   // complete entries taken from the text
  int failedEntry = -1;  // where the text failed
  std::string badField;  // the offending text
  Status status;         // why the text failed, in a line that names its source
};

// Reads 256 entries from the text. Blanks before (and after) a field are
// skipped; a comma or a line end (CR LF, LF or CR) ends a field; empty lines
// are skipped. Colours must be whole numbers 0..32767 (above 255 shows as 255).
// Stops at the first bad field; everything after entry 255 is ignored.
// `source` names the text in the error message (the file's path).
PaletteParse parsePalette(std::string_view text, std::string_view source = "text");

// Reads and parses a palette file in any format palette_formats.h knows (the
// text file above unless the bytes say otherwise); a file that cannot be
// opened or read keeps the defaults and says so.
PaletteParse readPaletteFile(const std::string& path, FileLayer& files = systemFileLayer());
// Puts a table into pal entries 0..255.
void applyPalette(Stores& s, const PaletteTable& table);
// Reads a palette file into pal (defaults where it fails); the error, if any,
// is the line to show the user.
Status loadPaletteInto(Stores& s, const std::string& path, FileLayer& files = systemFileLayer());

// Colour of a palette index as 0xFFRRGGBB, for composing pictures. Indices
// below 0 or above 255 take the colour of entry 0 or 255; components above 255
// count as 255, below 0 as 0.
std::uint32_t paletteArgb(const Stores& s, int index);

// The palette file beside the executable (appdir), or, when there is none
// there, the one in the installed data folder (found relative to the
// executable first, then at the folder the build was configured for).
std::string palettePath(const std::string& appdir);

// The palette file to load: the one the user chose and remembered, while it is
// still there, else palettePath(appdir).
std::string paletteToLoad(const std::string& appdir, const std::string& remembered);

// Logs "Starting to load palette", reads the palette file (the user's chosen
// one, see palette_choice.h, else the program's) into pal and logs "Palette
// loaded." and which file in which format gave the colours; otherwise logs
// one line saying what was wrong with which file and fills the rest with
// defaults. A chosen palette that is gone is said so in one more line.
void load_pal1(Core& core);
// The same from a given file (File > Load Palette..., the command line's --palette).
void load_pal_from(Core& core, const std::string& path);

}  // namespace orvane
