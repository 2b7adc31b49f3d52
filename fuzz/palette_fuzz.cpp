// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary text to the palette reader.
//
// Checked for every input:
// - at most 256 entries are read, and the parse succeeds exactly when all 256 are;
// - entries read lie in 0..32767, the rest keep the built-in colours;
// - a failure names the entry it stopped at (the first one not read);
// - the table written back out as a palette file reads back to the same table;
// - applied to the stores, every index gives a colour without overflow.
#include <string_view>

#include "display/palette.h"
#include "fuzz_support.h"

namespace {

using namespace orvane;

bool sameColour(const Rgb& a, const Rgb& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

fuzz::Workbench bench;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const PaletteParse parse = parsePalette(text);

  fuzz::check(parse.table.size() == kPaletteEntries, "table without 256 colours");
  fuzz::check(parse.entriesRead >= 0 && parse.entriesRead <= kPaletteEntries, "entriesRead out of range",
              parse.entriesRead);
  fuzz::check(parse.status.ok() == (parse.entriesRead == kPaletteEntries),
              "parse succeeded but not all 256 entries read, or the reverse", parse.entriesRead);
  if (!parse.status)
    fuzz::check(parse.status.error().code == ErrorCode::PaletteTooShort ||
                    parse.status.error().code == ErrorCode::PaletteNotANumber ||
                    parse.status.error().code == ErrorCode::PaletteOutOfRange,
                "a failure that is not about the text");
  if (!parse.status)
    fuzz::check(parse.failedEntry == parse.entriesRead, "failure not at the first entry not read",
                parse.failedEntry);

  const PaletteTable& defaults = defaultPalette();
  for (int e = 0; e < kPaletteEntries; ++e) {
    const Rgb& c = parse.table[static_cast<std::size_t>(e)];
    if (e < parse.entriesRead)
      fuzz::check(c.r >= 0 && c.g >= 0 && c.b >= 0, "negative component read", e);
    else
      fuzz::check(sameColour(c, defaults[static_cast<std::size_t>(e)]), "unread entry not the default", e);
  }

  const PaletteParse again = parsePalette(formatPaletteFile(parse.table));
  fuzz::check(again.status.ok(), "written table does not read back");
  for (int e = 0; e < kPaletteEntries; ++e)
    fuzz::check(sameColour(again.table[static_cast<std::size_t>(e)], parse.table[static_cast<std::size_t>(e)]),
                "written table reads back different", e);

  fuzz::Workbench::Round round(bench);
  Core& core = round.core();
  applyPalette(core.s, parse.table);
  for (int e = 0; e < kPaletteEntries; ++e)
    fuzz::check((paletteArgb(core.s, e) >> 24) == 0xFF, "colour not opaque", e);
  fuzz::check(parse.status.ok() || !parse.status.error().message.empty(), "a failure without a message");
  return 0;
}
