// orvane-cli import MOVIE N PICTURE: any picture, converted and written over
// preview N, exactly as convert followed by replace would.
#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>

#include "cli/command.h"
#include "cli/console_host.h"
#include "cli/picture_options.h"
#include "cli/steps.h"
#include "cli/picture_reader.h"
#include "workflow/import_picture.h"
#include "workflow/replace_road.h"

namespace orvane::cli {
namespace {

struct ImportArgs {
  std::string movie, number, picture, palette;
  PictureOptions options;
};

int runImport(const ImportArgs& a, Io& io) {
  ConsoleHost host(&io.out, io.err);
  Core core(host);
  if (!loadPalette(core, a.palette, io)) return 1;
  bool told = false;  // whether the refusal has reached standard error already
  const auto load = [&](Core& c) {
    Status imported = importPicture(c, a.picture, a.options.conversion(), pictureReader());
    if (!imported) io.err << "orvane-cli: cannot import " << a.picture << ": " << imported.error().message << '\n';
    told = !imported;
    return imported;
  };
  const Status done = replaceRoad(core, a.movie, toNumber(a.number), load);
  // The writer tells the user in a box; the road's own refusals are printed here.
  if (!done && !told && !host.boxShown()) io.err << "orvane-cli: " << done.error().message << '\n';
  return done ? 0 : 1;
}

}  // namespace

Command addImport(CLI::App& parent) {
  auto o = std::make_shared<ImportArgs>();
  CLI::App* sub = parent.add_subcommand("import", "Convert any picture and write it over one preview of a movie");
  sub->add_option("MOVIE", o->movie, "The movie file (.3mm); it keeps its length")->required()->type_name("");
  sub->add_option("N", o->number, "The preview's number (1, 2, ...) as scan counts")
      ->required()
      ->type_name("")
      ->check(wholeNumber());
  sub->add_option("PICTURE", o->picture, "A picture file: PNG, JPEG, GIF, BMP, PPM, WebP, TIFF ...")
      ->required()
      ->type_name("");
  addPictureOptions(*sub, o->options);
  sub->add_option("--palette", o->palette,
                  "The palette (default: mevrik.palette beside this program,\nelse the installed one)")
      ->type_name("FILE");
  sub->footer("Example:\n  orvane-cli import demo.3mm 3 holiday.jpg");
  return {sub,
          {"import MOVIE N PICTURE [--fit crop|pad|stretch] [--dither fs|none] [--palette FILE]"},
          [o](Io& io) { return runImport(*o, io); }};
}

}  // namespace orvane::cli
