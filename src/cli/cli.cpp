#include "cli/cli.h"

#include <charconv>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "orvane/version.h"
#include "previews/scanner.h"
#include "replace/bmp_loader.h"
#include "replace/scene_writer.h"
#include "shell/core.h"

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
    "  --help                     show this text\n"
    "  --version                  show the version\n"
    "\n"
    "Examples:\n"
    "  orvane-cli scan demo.3mm\n"
    "  orvane-cli replace demo.3mm 3 sunset.bmp\n"
    "\n"
    "Message boxes the window would show are printed on standard error.\n"
    "Exit status: 0 done, 1 refused or failed, 2 wrong usage.\n";

// Prints what the window would show: log lines on standard output, message
// boxes on standard error, one line each.
class ConsoleHost : public Host {
 public:
  ConsoleHost(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

  void logAppended(std::string_view line) override {
    if (line.size() >= 2 && line.substr(line.size() - 2) == "\r\n") line.remove_suffix(2);
    out_ << line << '\n';
  }
  void messageBox(std::string_view text, std::string_view title, BoxIcon) override {
    std::string flat;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      flat += (text[i] == '\r' || text[i] == '\n') ? ' ' : text[i];
    }
    if (!title.empty()) err_ << title << ": ";
    err_ << flat << '\n';
  }
  void barChanged(BarId, const BarLook&) override {}
  void repaintNow() override {}
  void setPageMaximum(int) override {}
  int pageValue() const override { return 0; }
  void clearGrid() override {}
  void paintGridPicture(int, int, const Picture&) override {}
  void paintBufferPicture(const Picture&) override {}

 private:
  std::ostream& out_;
  std::ostream& err_;
};

int usage(std::ostream& err) {
  err << kUsage;
  return 2;
}

// Scans the movie; false (with a line on standard error) when it cannot be opened.
bool scan(Core& core, const std::string& movie, std::ostream& err) {
  if (const auto failure = loadfile3(core, movie)) {
    err << "orvane-cli: cannot open movie " << failure->path << ": " << failure->reason << '\n';
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

int runReplace(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 4) return usage(err);
  int n = 0;
  const std::string& number = args[2];
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), n);
  if (ec != std::errc() || end != number.data() + number.size()) {
    err << "orvane-cli: preview number must be a whole number, not \"" << number << "\"\n";
    return 2;
  }

  ConsoleHost host(out, err);
  Core core(host);
  if (!scan(core, args[1], err)) return 1;
  if (n < 1 || n > core.s.piccount) {
    err << "orvane-cli: the movie holds " << core.s.piccount << " previews; there is no preview " << n << '\n';
    return 1;
  }
  if (!loadblimp(core, args[3])) return 1;
  core.s.selpic = static_cast<std::int16_t>(n);
  return begin(core, n) ? 0 : 1;
}

}  // namespace

int run(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  std::vector<std::string> args(argv + 1, argv + argc);
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
  err << "orvane-cli: unknown command \"" << command << "\"\n";
  return usage(err);
}

}  // namespace orvane::cli
