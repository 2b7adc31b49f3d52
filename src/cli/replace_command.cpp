// SPDX-License-Identifier: GPL-3.0-or-later
// orvane-cli replace MOVIE N PICTURE: the window's whole road, from opening
// the movie to writing the picture over preview N; replace MOVIE --all DIR:
// every BMP of a folder named as the export names them, in one step.
#include <CLI/CLI.hpp>
#include <filesystem>
#include <memory>
#include <ostream>

#include "cli/command.h"
#include "cli/console_host.h"
#include "cli/folder_put_back.h"
#include "cli/standard_input.h"
#include "cli/steps.h"
#include "workflow/replace_road.h"

namespace orvane::cli {
namespace {

struct ReplaceOptions {
  std::string movie, number, picture, all;
};

// Why the loader turned the picture down, where its log line does not say it:
// for every refusal but a compressed BMP, whose box says it.
// `path` is where it was read from (standard input's copy for "-").
void explainRefusedPicture(const std::string& picture, const std::string& path, Io& io) {
  std::error_code ec;
  const auto status = std::filesystem::status(std::filesystem::path(std::u8string(path.begin(), path.end())), ec);
  io.diagnostic(picture) << "cannot use it as the picture: ";
  if (!std::filesystem::exists(status))
    io.err << (ec ? ec.message() : "no such file") << '\n';
  else
    io.err << "it must be an uncompressed, 8-bit BMP of 144 x 81 pixels\n";
}

int runReplace(const ReplaceOptions& o, Io& io) {
  checkOneOrAll("replace", o.number, o.picture, o.all);
  ConsoleHost host(io, o.movie);
  Core core(host);
  if (!o.all.empty()) return runFolderPutBack(core, o.movie, o.all, "bmp", bmpFileReader(), io);
  const auto picture = PictureArgument::from(o.picture, io);
  if (!picture) return 1;
  const RoadEnd end = replaceFromBmp(core, o.movie, toNumber(o.number), picture->path());
  if (end.stop != RoadStop::PictureRefused) return toldRoadEnd(end, o.movie, io);
  if (end.refusal.code != ErrorCode::BmpCompressed) explainRefusedPicture(o.picture, picture->path(), io);
  return 1;
}

}  // namespace

Command addReplace(CLI::App& parent) {
  auto o = std::make_shared<ReplaceOptions>();
  CLI::App* sub = parent.add_subcommand(
      "replace", "Write a picture over one preview of a movie, or a folder of them\nover many, in place");
  addMovieAndNumber(*sub, o->movie, o->number);
  sub->add_option("PICTURE", o->picture,
                  "An uncompressed, 8-bit BMP of 144 x 81 pixels; - reads it\nfrom standard input")
      ->type_name("");
  sub->add_option("--all", o->all,
                  "Put back every BMP in folder DIR named as export --all names\n"
                  "them, <movie name>-NNN.bmp, over preview NNN, in one step")
      ->type_name("DIR");
  sub->footer(
      "With --all, a file holding the picture its preview already shows is left\n"
      "out, other names, links and folders are ignored, and a file that cannot be\n"
      "used is refused with the reason; the rest go in together, as one step that\n"
      "one undo takes back.\n"
      "\n"
      "Examples:\n"
      "  orvane-cli replace demo.3mm 3 sunset.bmp\n"
      "  orvane-cli export demo.3mm 3 - | orvane-cli replace other.3mm 3 -\n"
      "  orvane-cli replace demo.3mm --all previews/");
  return {sub, {"replace MOVIE N PICTURE", "replace MOVIE --all DIR"}, [o](Io& io) { return runReplace(*o, io); }};
}

}  // namespace orvane::cli
