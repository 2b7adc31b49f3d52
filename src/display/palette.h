#pragma once
// The palette file: 256 entries of four fields (an ignored leading field, red,
// green, blue), separated by commas or line ends, and the colour of an entry.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "shell/core.h"

namespace orvane {

inline constexpr int kPaletteEntries = 256;
inline constexpr const char* kPaletteFileName = "mevrik.palette";

struct Rgb {
  std::int16_t r = 0, g = 0, b = 0;
};
using PaletteTable = std::array<Rgb, kPaletteEntries>;

// Our own general-purpose palette, used for every entry a file could not supply.
// 0..15 greys from black to white; 16..150 fifteen hues of nine shades each
// (dark to light); 151..255 the same fifteen hues in seven muted tones.
const PaletteTable& defaultPalette();
// The shipped palette file's text for the table above, one named entry per line.
std::string formatPaletteFile(const PaletteTable& table);

enum class PaletteError { None, CannotOpen, CannotRead, TooShort, NotAnInteger, OutOfRange };

struct PaletteParse {
  PaletteTable table{};       // entries 0..entriesRead-1 from the text, the rest defaults
  int entriesRead = 0;        // complete entries taken from the text
  PaletteError error = PaletteError::None;
  int failedEntry = -1;       // where a bad field was found
  std::string badField;       // the offending text, for the message
};

// Reads 256 entries from the text. Blanks before (and after) a field are
// skipped; a comma or a line end (CR LF, LF or CR) ends a field; empty lines
// are skipped. Colours must be whole numbers 0..32767 (above 255 shows as 255).
// Stops at the first bad field; everything after entry 255 is ignored.
PaletteParse parsePalette(std::string_view text);

// Reads and parses a palette file (CannotOpen / CannotRead when it cannot).
PaletteParse readPaletteFile(const std::string& path);
// Puts a table into pal entries 0..255.
void applyPalette(Stores& s, const PaletteTable& table);

// The message written under "Palette" when the parse failed (names the file).
std::string paletteProblem(const PaletteParse& parse, const std::string& path);

// Colour of a palette index as the packed 0x00BBGGRR value; components above
// 255 count as 255, below 0 as 0.
std::uint32_t paletteColour(const Stores& s, int index);
// The same colour as 0xFFRRGGBB, for composing pictures.
std::uint32_t paletteArgb(const Stores& s, int index);

// The palette file beside the executable (appdir), or, when there is none
// there, the one in the installed data folder (found relative to the
// executable first, then at the folder the build was configured for).
std::string palettePath(const std::string& appdir);

// Logs "Starting to load palette", reads the palette file into pal and
// logs "Palette loaded." only when all 256 entries were read; otherwise logs one
// line saying what was wrong with which file and fills the rest with defaults.
void load_pal1(Core& core);
// The same from a given file (the command-line companion's --palette).
void load_pal_from(Core& core, const std::string& path);

}  // namespace orvane
