// SPDX-License-Identifier: GPL-3.0-or-later
// orvane-cli import MOVIE N PICTURE: any picture, converted and written over
// preview N, exactly as convert followed by replace would; import MOVIE --all
// DIR: every picture of a folder named "<movie name>-NNN.<any extension>",
// each converted, put back in one step.
#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>

#include "cli/command.h"
#include "cli/console_host.h"
#include "cli/folder_put_back.h"
#include "cli/picture_options.h"
#include "cli/picture_reader.h"
#include "cli/standard_input.h"
#include "cli/steps.h"
#include "workflow/import_picture.h"
#include "workflow/replace_road.h"

namespace orvane::cli {
namespace {

struct ImportArgs {
  std::string movie, number, picture, palette, all;
  PictureOptions options;
};

int runImport(const ImportArgs& a, Io& io) {
  checkOneOrAll("import", a.number, a.picture, a.all);
  ConsoleHost host(io, a.movie);
  Core core(host);
  if (!loadPalette(core, a.palette, io)) return 1;
  if (!a.all.empty())
    return runFolderPutBack(core, a.movie, a.all, "", convertingReader(core.s, a.options.conversion(), pictureReader()),
                            io);
  const auto picture = PictureArgument::from(a.picture, io);
  if (!picture) return 1;
  const RoadEnd end =
      importIntoScene(core, a.movie, toNumber(a.number), picture->path(), a.options.conversion(), pictureReader());
  if (end.stop != RoadStop::PictureRefused) return toldRoadEnd(end, a.movie, io);
  // A crop or focus outside the picture is a mistake in the command.
  if (end.refusal.code == ErrorCode::OutsidePicture) throw UsageError(end.refusal.message);
  io.diagnostic(a.picture) << "cannot import it: " << end.refusal.message << '\n';
  return 1;
}

}  // namespace

Command addImport(CLI::App& parent) {
  auto o = std::make_shared<ImportArgs>();
  CLI::App* sub = parent.add_subcommand(
      "import", "Convert any picture and write it over one preview of a movie,\nor a folder of them over many");
  addMovieAndNumber(*sub, o->movie, o->number);
  sub->add_option("PICTURE", o->picture,
                  "A picture file: PNG, JPEG, GIF, BMP, PPM, WebP, TIFF ...;\n- reads it from standard input")
      ->type_name("");
  sub->add_option("--all", o->all,
                  "Convert every picture in folder DIR named <movie name>-NNN.<any\n"
                  "extension> and put it over preview NNN, all in one step")
      ->type_name("DIR");
  addPictureOptions(*sub, o->options);
  sub->add_option("--palette", o->palette,
                  "The palette (default: mevrik.palette beside this program,\nelse the installed one)")
      ->type_name("FILE");
  sub->footer(
      "Examples:\n"
      "  orvane-cli import demo.3mm 3 holiday.jpg\n"
      "  orvane-cli import --focus 800,350 demo.3mm 4 portrait.jpg\n"
      "  orvane-cli import --dither=none demo.3mm --all retouched/");
  return {sub,
          {"import MOVIE N PICTURE [--fit crop|pad|stretch] [--dither fs|none] [--crop X,Y,W,H] [--focus X,Y]"
           " [--palette FILE]",
           "import MOVIE --all DIR [--fit crop|pad|stretch] [--dither fs|none] [--palette FILE]"},
          [o](Io& io) { return runImport(*o, io); }};
}

}  // namespace orvane::cli
