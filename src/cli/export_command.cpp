// SPDX-License-Identifier: GPL-3.0-or-later
// orvane-cli export MOVIE N OUT.bmp | export MOVIE N - | export MOVIE --all DIR:
// previews out of a movie as BMPs that replace accepts.
#include <CLI/CLI.hpp>
#include <filesystem>
#include <memory>
#include <ostream>

#include "cli/command.h"
#include "cli/console_host.h"
#include "cli/steps.h"
#include "shell/utf8_path.h"
#include "workflow/preview_export.h"

namespace orvane::cli {
namespace {

namespace fs = std::filesystem;

struct ExportOptions {
  std::string movie, number, output, all, palette;
  bool force = false;
};

fs::path utf8Path(const std::string& path) { return fs::path(std::u8string(path.begin(), path.end())); }

// Refuses, before anything is written, every output that would go through a
// link, onto the movie, over a folder, or over a file without --force.
bool outputsAllowed(const std::vector<ExportItem>& items, const Core& core, bool force, Io& io) {
  for (const auto& item : items)
    if (!mayWrite(item.path, force, core.s.moviefile, io)) return false;
  return true;
}

// The folder --all writes into, made when missing.
bool prepareFolder(const std::string& dir, Io& io) {
  std::error_code ec;
  fs::create_directories(utf8Path(dir), ec);
  if (fs::is_directory(utf8Path(dir), ec)) return true;
  io.diagnostic(dir) << "cannot use it as a folder\n";
  return false;
}

int toStandardOutput(const Core& core, int n, Io& io) {
  if (!previewExists(core, n, io)) return 1;
  return writeResult("-", previewBmp(core.s, n), io) ? 0 : 1;
}

int runExport(const ExportOptions& o, Io& io) {
  const bool all = !o.all.empty();
  if (all && !(o.number.empty() && o.output.empty()))
    throw UsageError("export takes either N and OUT or --all DIR, not both");
  if (!all && (o.number.empty() || o.output.empty()))
    throw UsageError("export needs a preview number and an output file, or --all DIR");
  if (all && o.all == "-") throw UsageError("--all writes files into a folder, not to standard output");
  const bool toStdout = !all && o.output == "-";

  if (toStdout && !binaryMayGoOut("a BMP", io)) return 1;
  ConsoleHost host(io, o.movie);
  Core core(host);
  if (!loadPalette(core, o.palette, io) || !openMovie(core, o.movie, io)) return 1;
  if (toStdout) return toStandardOutput(core, toNumber(o.number), io);

  std::vector<ExportItem> items;
  std::string dir = o.all;
  if (all) {
    if (!prepareFolder(dir, io)) return 1;
    items = exportPlan(core.s, dir);
  } else {
    const int n = toNumber(o.number);
    if (!previewExists(core, n, io)) return 1;
    items.push_back({n, o.output});
    dir = utf8FromPath(utf8Path(o.output).parent_path());
    if (dir.empty()) dir = ".";
    std::error_code ec;
    if (!fs::is_directory(utf8Path(dir), ec)) {
      io.diagnostic(o.output) << "cannot write it: there is no folder " << dir << '\n';
      return 1;
    }
  }
  if (!outputsAllowed(items, core, o.force, io)) return 1;

  const int written = exportPreviews(core, items, dir);
  if (written == static_cast<int>(items.size())) {
    for (const auto& item : items) io.out << item.path << '\n';
    return 0;
  }
  const std::size_t failed = items.size() - static_cast<std::size_t>(written);
  io.diagnostic(all ? dir : o.output) << failed << " of " << previewCount(items.size())
                                      << " could not be written (the Extract lines say why)\n";
  return 1;
}

}  // namespace

Command addExport(CLI::App& parent) {
  auto o = std::make_shared<ExportOptions>();
  CLI::App* sub = parent.add_subcommand("export", "Write previews of a movie as BMP files that replace accepts");
  sub->add_option("MOVIE", o->movie, "The movie file (.3mm)")->required()->type_name("");
  sub->add_option("N", o->number, "The preview's number (1, 2, ...)")->type_name("")->check(wholeNumber());
  sub->add_option("OUT", o->output, "The BMP file to write; - writes it to standard output")->type_name("");
  sub->add_option("--all", o->all,
                  "Write every preview into folder DIR, named\n<movie name>-NNN.bmp (NNN: 001, 002, ...)")
      ->type_name("DIR");
  sub->add_option("--palette", o->palette,
                  "Colours for the BMPs (default: mevrik.palette beside\nthis program, else the installed one)")
      ->type_name("FILE");
  sub->add_flag("--force", o->force, "Replace files that already exist");
  sub->footer(
      "Each BMP is written whole or not at all: a new file beside the target is\n"
      "renamed over it once complete. Output names that are symbolic links, and\n"
      "the movie itself, are refused.\n"
      "\n"
      "Examples:\n"
      "  orvane-cli export demo.3mm 3 scene3.bmp\n"
      "  orvane-cli export demo.3mm 3 - > scene3.bmp\n"
      "  orvane-cli export --palette=my.palette demo.3mm --all previews/");
  return {sub,
          {"export MOVIE N OUT.bmp [--force] [--palette FILE]", "export MOVIE N - [--palette FILE]",
           "export MOVIE --all DIR [--force] [--palette FILE]"},
          [o](Io& io) { return runExport(*o, io); }};
}

}  // namespace orvane::cli
