// SPDX-License-Identifier: GPL-3.0-or-later
// orvane-cli palette --gpl OUT.gpl | --out OUT.palette [--from FILE]: the
// palette in use, or one of any format Orvane reads, written as a GIMP palette
// of the picture colours for paint programs, or as Orvane's own palette file.
#include <CLI/CLI.hpp>
#include <memory>

#include "cli/command.h"
#include "cli/console_host.h"
#include "cli/steps.h"
#include "workflow/palette_use.h"

namespace orvane::cli {
namespace {

struct PaletteArgs {
  std::string gpl, out, palette, from;
  bool force = false;
};

Told writeText(const std::string& path, const std::string& text, Io& io) {
  return writeResult(path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, io);
}

int runPalette(const PaletteArgs& a, Io& io) {
  if (a.gpl.empty() && a.out.empty()) throw UsageError("nothing to write: give --gpl OUT.gpl or --out OUT.palette");
  if (isStandardStream(a.gpl) && isStandardStream(a.out)) throw UsageError("only one of --gpl and --out can be -");
  const std::string& source = a.from.empty() ? a.palette : a.from;
  ConsoleHost host(io, source);
  Core core(host);
  if (!loadPalette(core, source, io)) return 1;
  for (const std::string* out : {&a.gpl, &a.out})
    if (!out->empty() && !isStandardStream(*out) && !mayWrite(*out, a.force, source, io)) return 1;
  if (!a.gpl.empty() && !writeText(a.gpl, gimpPaletteText(core.s), io)) return 1;
  if (!a.out.empty() && !writeText(a.out, ownPaletteText(core.s), io)) return 1;
  return 0;
}

}  // namespace

Command addPalette(CLI::App& parent) {
  auto o = std::make_shared<PaletteArgs>();
  CLI::App* sub =
      parent.add_subcommand("palette", "Write the palette for paint programs, or any palette as Orvane's own");
  sub->add_option("--gpl", o->gpl,
                  "Write entries 0-150 as a GIMP palette (read by GIMP,\nKrita, Inkscape, Aseprite); - writes it to "
                  "standard output")
      ->type_name("OUT.gpl");
  sub->add_option("--out", o->out,
                  "Write all 256 entries as Orvane's palette file, which\n--palette and File > Load Palette... read; - "
                  "writes it to\nstandard output")
      ->type_name("OUT.palette");
  auto* from = sub->add_option("--from", o->from,
                               "The palette to write: Orvane's palette file, GIMP .gpl, JASC\nor RIFF .pal, "
                               "Photoshop .act, or an 8-bit BMP's colour table\n(default: the palette in use)")
                   ->type_name("FILE");
  sub->add_option("--palette", o->palette,
                  "The palette in use (default: mevrik.palette beside this program,\nelse the installed one)")
      ->type_name("FILE")
      ->excludes(from);
  sub->add_flag("--force", o->force, "Replace OUT.gpl or OUT.palette if it already exists");
  sub->footer(
      "Examples:\n"
      "  orvane-cli palette --gpl mevrik.gpl\n"
      "  orvane-cli palette --from studio.act --out studio.palette");
  return {sub,
          {"palette --gpl OUT.gpl|- [--palette FILE] [--force]",
           "palette --from FILE --out OUT.palette|- [--gpl OUT.gpl|-] [--force]"},
          [o](Io& io) { return runPalette(*o, io); }};
}

}  // namespace orvane::cli
