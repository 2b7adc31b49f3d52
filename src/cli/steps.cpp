#include "cli/steps.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <ostream>

#include "display/palette.h"
#include "workflow/open_movie.h"
#include "shell/platform.h"

namespace orvane::cli {

std::string previewCount(std::size_t n) { return std::to_string(n) + (n == 1 ? " preview" : " previews"); }

bool openMovie(Core& core, const std::string& movie, Io& io) {
  if (const auto opened = loadfile3(core, movie); !opened) {
    io.err << "orvane-cli: cannot open movie " << movie << ": " << opened.error().message << '\n';
    return false;
  }
  return true;
}

bool previewExists(const Core& core, int n, Io& io) {
  if (n >= 1 && n <= core.s.piccount) return true;
  io.err << "orvane-cli: the movie holds " << previewCount(static_cast<std::size_t>(std::max(core.s.piccount, 0)))
         << "; there is no preview " << n << '\n';
  return false;
}

bool loadPalette(Core& core, const std::string& chosen, Io& io) {
  const std::string path =
      chosen.empty() ? palettePath(withTrailingSeparator(executableDir(), kPathSeparator)) : chosen;
  if (const Status loaded = loadPaletteInto(core.s, path); !loaded) {
    io.err << "orvane-cli: " << loaded.error().message << '\n';
    return chosen.empty();
  }
  return true;
}

namespace {

bool parseWhole(const std::string& text, int& n) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  return ec == std::errc() && end == text.data() + text.size();
}

}  // namespace

const CLI::Validator& wholeNumber() {
  static const CLI::Validator validator(
      [](std::string& text) -> std::string {
        int n = 0;
        return parseWhole(text, n) ? std::string() : "preview number must be a whole number, not \"" + text + "\"";
      },
      "");
  return validator;
}

int toNumber(const std::string& text) {
  int n = 0;
  parseWhole(text, n);
  return n;
}

}  // namespace orvane::cli
