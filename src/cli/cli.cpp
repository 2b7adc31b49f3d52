#include "cli/cli.h"

#include <charconv>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/console_host.h"
#include "cli/history_command.h"
#include "cli/undo_command.h"
#include "display/palette.h"
#include "orvane/version.h"
#include "shell/core.h"
#include "shell/platform.h"
#include "shell/stores.h"
#include "workflow/load_picture.h"
#include "workflow/open_movie.h"
#include "workflow/preview_export.h"
#include "workflow/replace_road.h"

namespace orvane::cli {
namespace {

constexpr const char* kUsage =
    "Usage: orvane-cli COMMAND ...\n"
    "Finds and replaces the scene previews inside movie files (.3mm).\n"
    "\n"
    "Commands:\n"
    "  scan MOVIE                 walk MOVIE and print the activity-log lines of the scan\n"
    "  replace MOVIE N PICTURE    write PICTURE (a 144 x 81, 8-bit BMP) over preview N\n"
    "                             of MOVIE, printing the activity-log lines of the road\n"
    "  export MOVIE N OUT.bmp     write preview N of MOVIE as a BMP that replace accepts\n"
    "  export MOVIE --all DIR     write every preview as DIR/<movie name>-<NNN>.bmp\n"
    "  history MOVIE              list MOVIE's replacements, newest first\n"
    "  undo MOVIE [--all]         take back the newest replacement (or all of them)\n"
    "\n"
    "Options:\n"
    "  --palette FILE             colours for exported BMPs (default: mevrik.palette\n"
    "                             beside this program, else the installed one)\n"
    "  --force                    let export replace files that already exist\n"
    "  --help                     show this text\n"
    "  --version                  show the version\n"
    "\n"
    "Examples:\n"
    "  orvane-cli scan demo.3mm\n"
    "  orvane-cli replace demo.3mm 3 sunset.bmp\n"
    "  orvane-cli export demo.3mm 3 scene3.bmp\n"
    "  orvane-cli export --palette my.palette demo.3mm --all previews/\n"
    "  orvane-cli undo demo.3mm\n"
    "\n"
    "Message boxes the window would show are printed on standard error.\n"
    "Exit status: 0 done, 1 refused or failed, 2 wrong usage.\n";

struct Options {
  std::string palette;  // --palette FILE
  bool force = false;   // --force
};

int usage(std::ostream& err) {
  err << kUsage;
  return 2;
}

// Scans the movie; false (with a line on standard error) when it cannot be opened.
bool scan(Core& core, const std::string& movie, std::ostream& err) {
  if (const auto opened = loadfile3(core, movie); !opened) {
    err << "orvane-cli: cannot open movie " << movie << ": " << opened.error().message << '\n';
    return false;
  }
  return true;
}

int runScan(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 2) return usage(err);
  ConsoleHost host(out, err);
  Core core(host);
  return scan(core, args[1], err) ? 0 : 1;
}

bool parseNumber(const std::string& text, int& n, std::ostream& err) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec == std::errc() && end == text.data() + text.size()) return true;
  err << "orvane-cli: preview number must be a whole number, not \"" << text << "\"\n";
  return false;
}

bool previewExists(const Core& core, int n, std::ostream& err) {
  if (n >= 1 && n <= core.s.piccount) return true;
  err << "orvane-cli: the movie holds " << core.s.piccount << " previews; there is no preview " << n << '\n';
  return false;
}

int runReplace(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 4) return usage(err);
  int n = 0;
  if (!parseNumber(args[2], n, err)) return 2;

  ConsoleHost host(out, err);
  Core core(host);
  const std::string picture = args[3];
  return replaceRoad(core, args[1], n, [&picture](Core& c) { return loadblimp(c, picture); }).ok() ? 0 : 1;
}

// The palette for exports: --palette, or the one beside the program, or the
// installed one. A broken --palette file refuses the command; a broken default
// one is reported and the built-in colours fill in.
bool loadPalette(Core& core, const Options& options, std::ostream& err) {
  const bool chosen = !options.palette.empty();
  const std::string path =
      chosen ? options.palette : palettePath(withTrailingSeparator(executableDir(), kPathSeparator));
  if (const Status loaded = loadPaletteInto(core.s, path); !loaded) {
    err << "orvane-cli: " << loaded.error().message << '\n';
    return !chosen;
  }
  return true;
}

int runExport(const std::vector<std::string>& args, const Options& options, std::ostream& out, std::ostream& err) {
  if (args.size() != 4) return usage(err);
  const bool all = args[2] == "--all";
  int n = 0;
  if (!all && !parseNumber(args[2], n, err)) return 2;

  ConsoleHost host(out, err);
  Core core(host);
  if (!loadPalette(core, options, err)) return 1;
  if (!scan(core, args[1], err)) return 1;

  std::vector<ExportItem> items;
  if (all) {
    std::error_code ec;
    std::filesystem::create_directories(args[3], ec);
    if (!std::filesystem::is_directory(args[3], ec)) {
      err << "orvane-cli: cannot use " << args[3] << " as a folder\n";
      return 1;
    }
    items = exportPlan(core.s, args[3]);
  } else {
    if (!previewExists(core, n, err)) return 1;
    items.push_back({n, args[3]});
  }
  if (!options.force) {
    for (const auto& item : items) {
      std::error_code ec;
      if (std::filesystem::exists(item.path, ec)) {
        err << "orvane-cli: " << item.path << " already exists (use --force to replace it)\n";
        return 1;
      }
    }
  }
  const std::string dir = all ? args[3] : std::filesystem::path(args[3]).parent_path().string();
  return exportPreviews(core, items, dir.empty() ? "." : dir) == static_cast<int>(items.size()) ? 0 : 1;
}

}  // namespace

int run(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  std::vector<std::string> args;
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--palette") {
      if (i + 1 >= argc) return usage(err);
      options.palette = argv[++i];
    } else if (a == "--force") {
      options.force = true;
    } else {
      args.push_back(a);
    }
  }
  if (args.empty()) return usage(err);
  const std::string& command = args[0];
  if (command == "--help" || command == "-h" || command == "help") {
    out << kUsage;
    return 0;
  }
  if (command == "--version") {
    out << "orvane-cli " << kVersionText << '\n';
    return 0;
  }
  if (command == "scan") return runScan(args, out, err);
  if (command == "replace") return runReplace(args, out, err);
  if (command == "export") return runExport(args, options, out, err);
  if (command == "history") return args.size() == 2 ? runHistory({args[1]}, out, err) : usage(err);
  if (command == "undo")
    return args.size() == 2 || (args.size() == 3 && args[2] == "--all") ? runUndo({args[1], args.size() == 3}, out, err)
                                                                        : usage(err);
  err << "orvane-cli: unknown command \"" << command << "\"\n";
  return usage(err);
}

}  // namespace orvane::cli
