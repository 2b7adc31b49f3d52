// SPDX-License-Identifier: GPL-3.0-or-later
// orvane-cli palette --gpl OUT.gpl: the colours a picture may use, as a GIMP
// palette for paint programs.
#include <CLI/CLI.hpp>
#include <memory>

#include "cli/command.h"
#include "cli/console_host.h"
#include "cli/steps.h"
#include "display/gimp_palette.h"

namespace orvane::cli {
namespace {

struct PaletteArgs {
  std::string gpl, palette;
  bool force = false;
};

int runPalette(const PaletteArgs& a, Io& io) {
  ConsoleHost host(io, a.palette);
  Core core(host);
  if (!loadPalette(core, a.palette, io)) return 1;
  if (!isStandardStream(a.gpl) && !mayWrite(a.gpl, a.force, a.palette, io)) return 1;
  const std::string text = gimpPalette(core.s);
  return writeResult(a.gpl, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, io) ? 0 : 1;
}

}  // namespace

Command addPalette(CLI::App& parent) {
  auto o = std::make_shared<PaletteArgs>();
  CLI::App* sub = parent.add_subcommand("palette", "Write the palette's picture colours for paint programs");
  sub->add_option("--gpl", o->gpl, "Write entries 0-150 as a GIMP palette (read by GIMP,\nKrita, Inkscape, Aseprite); - writes it to standard output")
      ->required()
      ->type_name("OUT.gpl");
  sub->add_option("--palette", o->palette,
                  "The palette (default: mevrik.palette beside this program,\nelse the installed one)")
      ->type_name("FILE");
  sub->add_flag("--force", o->force, "Replace OUT.gpl if it already exists");
  sub->footer("Example:\n  orvane-cli palette --gpl mevrik.gpl");
  return {sub, {"palette --gpl OUT.gpl|- [--palette FILE] [--force]"}, [o](Io& io) { return runPalette(*o, io); }};
}

}  // namespace orvane::cli
