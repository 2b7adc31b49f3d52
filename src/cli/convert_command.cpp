#include <ostream>

#include "cli/console_host.h"
#include "cli/picture_commands.h"
#include "cli/steps.h"
#include "qtimage/picture_file.h"
#include "replace/bmp_writer.h"
#include "workflow/import_picture.h"
#include "workflow/preview_export.h"

namespace orvane::cli {

int runConvert(const ConvertArgs& args, std::ostream& out, std::ostream& err) {
  ConsoleHost host(out, err);
  Core core(host);
  if (!loadPalette(core, args.palette, err) || !mayWrite(args.output, args.force, err)) return 1;

  logImportStart(core, args.picture);
  const auto prepared = preparePicture(args.picture, pictureColours(core.s), args.options, qtimage::readPictureFile);
  if (!logPrepared(core, args.picture, prepared)) return 1;
  const auto bytes = bmp::encode8(pixelRows(prepared->picture), pictureColourTable(core.s)).value();
  return writeOutput(args.output, {reinterpret_cast<const char*>(bytes.data()), bytes.size()}, err) ? 0 : 1;
}

}  // namespace orvane::cli
