#include "cli/console_host.h"
#include "cli/picture_commands.h"
#include "cli/steps.h"
#include "display/gimp_palette.h"

namespace orvane::cli {

int runPalette(const PaletteArgs& args, std::ostream& out, std::ostream& err) {
  ConsoleHost host(out, err);
  Core core(host);
  if (!loadPalette(core, args.palette, err) || !mayWrite(args.gpl, args.force, err)) return 1;
  return writeOutput(args.gpl, gimpPalette(core.s), err) ? 0 : 1;
}

}  // namespace orvane::cli
