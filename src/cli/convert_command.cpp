// SPDX-License-Identifier: GPL-3.0-or-later
// orvane-cli convert PICTURE OUT.bmp: any picture, converted to the palette's
// picture colours, as a BMP that Open BMP and replace accept unchanged.
#include <CLI/CLI.hpp>
#include <memory>

#include "cli/command.h"
#include "cli/console_host.h"
#include "cli/picture_options.h"
#include "cli/picture_reader.h"
#include "cli/standard_input.h"
#include "cli/steps.h"
#include "workflow/import_picture.h"
#include "workflow/preview_export.h"

namespace orvane::cli {
namespace {

struct ConvertArgs {
  std::string picture, output, palette;
  PictureOptions options;
  bool force = false;
};

int runConvert(const ConvertArgs& a, Io& io) {
  ConsoleHost host(io, a.picture);
  Core core(host);
  if (!loadPalette(core, a.palette, io)) return 1;
  if (isStandardStream(a.output) ? !binaryMayGoOut("a BMP", io) : !mayWrite(a.output, a.force, a.picture, io)) return 1;
  const auto picture = PictureArgument::from(a.picture, io);
  if (!picture) return 1;

  const auto bytes = convertToBmp(core, picture->path(), a.picture, a.options.conversion(), pictureReader());
  if (!bytes) {
    // A crop or focus outside the picture is a mistake in the command, known only once the picture is read.
    if (bytes.error().code == ErrorCode::OutsidePicture) throw UsageError(bytes.error().message);
    io.diagnostic(a.picture) << "cannot convert it: " << bytes.error().message << '\n';
    return 1;
  }
  return writeResult(a.output, *bytes, io) ? 0 : 1;
}

}  // namespace

Command addConvert(CLI::App& parent) {
  auto o = std::make_shared<ConvertArgs>();
  CLI::App* sub = parent.add_subcommand("convert", "Turn any picture into a 144 x 81 BMP in the palette's colours");
  sub->add_option("PICTURE", o->picture,
                  "A picture file: PNG, JPEG, GIF, BMP, PPM, WebP, TIFF ...;\n- reads it from standard input")
      ->required()
      ->type_name("");
  sub->add_option("OUT", o->output, "The BMP to write (144 x 81, 8-bit, uncompressed); - writes\nit to standard output")
      ->required()
      ->type_name("");
  addPictureOptions(*sub, o->options);
  sub->add_option("--palette", o->palette,
                  "The palette (default: mevrik.palette beside this program,\nelse the installed one)")
      ->type_name("FILE");
  sub->add_flag("--force", o->force, "Replace OUT if it already exists");
  sub->footer(
      "The BMP uses palette entries 0-150 only and carries those 151 colours as\n"
      "its colour table: replace and Open BMP take it as it is.\n"
      "\n"
      "Examples:\n"
      "  orvane-cli convert holiday.jpg scene3.bmp\n"
      "  orvane-cli convert --fit=pad --dither=none logo.png logo.bmp\n"
      "  orvane-cli convert --crop 1200,300,1600,900 portrait.jpg face.bmp\n"
      "  orvane-cli convert - - < holiday.jpg > scene3.bmp");
  return {sub,
          {"convert PICTURE|- OUT.bmp|- [--fit crop|pad|stretch] [--dither fs|none] [--crop X,Y,W,H] [--focus X,Y]"
           " [--palette FILE] [--force]"},
          [o](Io& io) { return runConvert(*o, io); }};
}

}  // namespace orvane::cli
