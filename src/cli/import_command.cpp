#include "cli/console_host.h"
#include "cli/picture_commands.h"
#include "cli/steps.h"
#include "qtimage/picture_file.h"
#include "workflow/import_picture.h"

namespace orvane::cli {

int runImport(const ImportArgs& args, std::ostream& out, std::ostream& err) {
  ConsoleHost host(out, err);
  Core core(host);
  if (!loadPalette(core, args.palette, err)) return 1;
  return replaceRoad(core, args.movie, args.preview, [&](Core& c) {
    return importPicture(c, args.picture, args.options, qtimage::readPictureFile).ok();
  }, err);
}

}  // namespace orvane::cli
