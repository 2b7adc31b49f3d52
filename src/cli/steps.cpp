// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/steps.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <filesystem>
#include <ostream>

#include "cli/console_host.h"
#include "cli/journal_steps.h"
#include "display/palette.h"
#include "display/palette_choice.h"
#include "shell/atomic_write.h"
#include "workflow/open_movie.h"
#include "shell/platform.h"

namespace orvane::cli {

std::string previewCount(std::size_t n) { return std::to_string(n) + (n == 1 ? " preview" : " previews"); }

std::optional<WalkSummary> openMovie(Core& core, const std::string& movie, Io& io) {
  auto opened = loadfile3(core, movie);
  if (!opened) {
    io.diagnostic(movie) << "cannot open the movie: " << opened.error().message << '\n';
    return std::nullopt;
  }
  if (core.s.piccount <= 0) io.diagnostic(movie) << "no scene previews found; is this a Mevrik movie?\n";
  return std::move(*opened);
}

bool previewExists(const Core& core, int n, Io& io) {
  if (n >= 1 && n <= core.s.piccount) return true;
  io.diagnostic(core.s.moviefile) << "the movie holds " << previewCount(static_cast<std::size_t>(std::max(core.s.piccount, 0)))
         << "; there is no preview " << n << '\n';
  return false;
}

bool loadPalette(Core& core, const std::string& chosen, Io& io) {
  const std::string path =
      chosen.empty() ? paletteToLoad(withTrailingSeparator(executableDir(), kPathSeparator), rememberedPalette())
                     : chosen;
  if (const Status loaded = loadPaletteInto(core.s, path); !loaded) {
    io.diagnostic(path) << loaded.error().message << '\n';
    return chosen.empty();
  }
  return true;
}

bool mayWrite(const std::string& path, bool force, const std::string& source, Io& io) {
  if (isStandardStream(path)) return true;
  if (const auto allowed = checkWriteTarget(path, source); !allowed) {
    io.diagnostic(path) << "will not write it: " << allowed.error().message << '\n';
    return false;
  }
  std::error_code ec;
  const auto name = std::filesystem::path(std::u8string(path.begin(), path.end()));
  if (force || std::filesystem::symlink_status(name, ec).type() == std::filesystem::file_type::not_found) return true;
  io.diagnostic(path) << "already exists (use --force to replace it)\n";
  return false;
}

bool writeOutput(const std::string& path, std::span<const std::uint8_t> bytes, Io& io) {
  if (const auto written = writeFileAtomically(path, bytes); !written) {
    io.diagnostic(path) << "could not write it: " << written.error().message << '\n';
    return false;
  }
  return true;
}

bool binaryMayGoOut(const std::string& what, const Io& io) {
  if (!io.outIsTerminal) return true;
  io.diagnostic("-") << "will not write " << what
                     << " to a terminal (redirect standard output to a file or a pipe: > scene.bmp)\n";
  return false;
}

bool writeResult(const std::string& path, std::span<const std::uint8_t> bytes, Io& io) {
  if (isStandardStream(path)) {
    io.out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return true;  // a failed write is told once the command ends
  }
  if (!writeOutput(path, bytes, io)) return false;
  io.out << path << '\n';
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

void addMovieAndNumber(CLI::App& command, std::string& movie, std::string& number) {
  command.add_option("MOVIE", movie, "The movie file (.3mm); it keeps its length")->required()->type_name("");
  command.add_option("N", number, "The preview's number (1, 2, ...) as scan counts")
      ->type_name("")
      ->check(wholeNumber());
}

int replaceWith(Core& core, const std::string& movie, const std::string& number, const PictureLoader& load,
                const ConsoleHost& host, Io& io) {
  bool told = false;
  const Status done = replaceRoad(core, movie, toNumber(number), [&](Core& c) {
    Status loaded = load(c);
    told = !loaded;
    return loaded;
  });
  if (!done) {
    if (!told && !host.boxShown()) io.diagnostic(movie) << boxLine(done.error().message, movie) << '\n';
    return 1;
  }
  if (const auto step = newestReplacement(movie)) io.out << replacedLine(*step, movie) << '\n';
  return 0;
}

}  // namespace orvane::cli
