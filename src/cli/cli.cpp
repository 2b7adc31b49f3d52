#include "cli/cli.h"

#include <charconv>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/console_host.h"
#include "cli/picture_commands.h"
#include "cli/steps.h"
#include "orvane/version.h"
#include "shell/core.h"
#include "workflow/load_picture.h"
#include "workflow/open_movie.h"
#include "workflow/preview_export.h"

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
    "  convert PICTURE OUT.bmp    convert a picture of any size and format (PNG, JPEG,\n"
    "                             GIF, BMP, WebP, ...) into a BMP that replace accepts\n"
    "  import MOVIE N PICTURE     convert PICTURE and write it over preview N of MOVIE\n"
    "  palette --gpl OUT.gpl      write the colours a picture may use as a GIMP palette\n"
    "\n"
    "Options:\n"
    "  --palette FILE             colours for exported BMPs (default: mevrik.palette\n"
    "                             beside this program, else the installed one)\n"
    "  --force                    let export, convert and palette replace files that\n"
    "                             already exist\n"
    "  --fit crop|pad|stretch     how convert and import fit a picture to 144 x 81: crop\n"
    "                             to fill (default), pad with bars, or stretch\n"
    "  --dither fs|none           Floyd-Steinberg dithering (default) or none\n"
    "  --help                     show this text\n"
    "  --version                  show the version\n"
    "\n"
    "Examples:\n"
    "  orvane-cli scan demo.3mm\n"
    "  orvane-cli replace demo.3mm 3 sunset.bmp\n"
    "  orvane-cli export demo.3mm 3 scene3.bmp\n"
    "  orvane-cli export --palette my.palette demo.3mm --all previews/\n"
    "  orvane-cli import demo.3mm 3 holiday.jpg\n"
    "  orvane-cli convert --fit pad --dither none logo.png logo.bmp\n"
    "\n"
    "Message boxes the window would show are printed on standard error.\n"
    "Exit status: 0 done, 1 refused or failed, 2 wrong usage.\n";

struct Options {
  std::string palette;  // --palette FILE
  bool force = false;   // --force
  std::string fit = "crop", dither = "fs", gpl;  // --fit, --dither, --gpl
};

int usage(std::ostream& err) {
  err << kUsage;
  return 2;
}

int runScan(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 2) return usage(err);
  ConsoleHost host(out, err);
  Core core(host);
  return openMovie(core, args[1], err) ? 0 : 1;
}

bool parseNumber(const std::string& text, int& n, std::ostream& err) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec == std::errc() && end == text.data() + text.size()) return true;
  err << "orvane-cli: preview number must be a whole number, not \"" << text << "\"\n";
  return false;
}

int runReplace(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 4) return usage(err);
  int n = 0;
  if (!parseNumber(args[2], n, err)) return 2;

  ConsoleHost host(out, err);
  Core core(host);
  return replaceRoad(core, args[1], n, [&](Core& c) { return loadblimp(c, args[3]).ok(); }, err);
}

int runExport(const std::vector<std::string>& args, const Options& options, std::ostream& out, std::ostream& err) {
  if (args.size() != 4) return usage(err);
  const bool all = args[2] == "--all";
  int n = 0;
  if (!all && !parseNumber(args[2], n, err)) return 2;

  ConsoleHost host(out, err);
  Core core(host);
  if (!loadPalette(core, options.palette, err)) return 1;
  if (!openMovie(core, args[1], err)) return 1;

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

// convert, import and palette, their arguments in their own structs.
int runPictureCommand(const std::vector<std::string>& args, const Options& o, std::ostream& out, std::ostream& err) {
  const auto fit = convert::fitModeNamed(o.fit);
  const auto dither = convert::ditherNamed(o.dither);
  if (!fit || !dither) {
    err << "orvane-cli: --fit takes crop, pad or stretch, and --dither fs or none\n";
    return 2;
  }
  const convert::ConvertOptions picture{*fit, *dither};
  int n = 0;
  if (args[0] == "convert" && args.size() == 3) return runConvert({args[1], args[2], picture, o.palette, o.force}, out, err);
  if (args[0] == "import" && args.size() == 4)
    return parseNumber(args[2], n, err) ? runImport({args[1], n, args[3], picture, o.palette}, out, err) : 2;
  if (args[0] == "palette" && args.size() == 1 && !o.gpl.empty()) return runPalette({o.gpl, o.palette, o.force}, out, err);
  return usage(err);
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
    } else if (a == "--fit" || a == "--dither" || a == "--gpl") {
      if (i + 1 >= argc) return usage(err);
      (a == "--fit" ? options.fit : a == "--dither" ? options.dither : options.gpl) = argv[++i];
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
  if (command == "convert" || command == "import" || command == "palette")
    return runPictureCommand(args, options, out, err);
  err << "orvane-cli: unknown command \"" << command << "\"\n";
  return usage(err);
}

}  // namespace orvane::cli
