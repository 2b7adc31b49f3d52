// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/steps.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <filesystem>
#include <ostream>

#include "cli/console_host.h"
#include "cli/journal_steps.h"
#include "shell/atomic_write.h"
#include "shell/platform.h"
#include "workflow/open_movie.h"
#include "workflow/palette_use.h"

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

Told previewExists(const Core& core, int n, Io& io) {
  if (n >= 1 && n <= core.s.piccount) return {};
  io.diagnostic(core.s.moviefile) << "the movie holds "
                                  << previewCount(static_cast<std::size_t>(std::max(core.s.piccount, 0)))
                                  << "; there is no preview " << n << '\n';
  return Told(ErrorCode::NoSuchPreview);
}

Told loadPalette(Core& core, const std::string& chosen, Io& io) {
  const std::string path = paletteToUse(chosen, withTrailingSeparator(executableDir(), kPathSeparator));
  if (const Status loaded = usePalette(core.s, path); !loaded) {
    io.diagnostic(path) << loaded.error().message << '\n';
    return chosen.empty() ? Told() : Told(loaded.error());
  }
  return {};
}

Told mayWrite(const std::string& path, bool force, const std::string& source, Io& io) {
  if (isStandardStream(path)) return {};
  if (const auto allowed = checkWriteTarget(path, source); !allowed) {
    io.diagnostic(path) << "will not write it: " << allowed.error().message << '\n';
    return allowed.error();
  }
  std::error_code ec;
  const auto name = std::filesystem::path(std::u8string(path.begin(), path.end()));
  if (force || std::filesystem::symlink_status(name, ec).type() == std::filesystem::file_type::not_found) return {};
  io.diagnostic(path) << "already exists (use --force to replace it)\n";
  return Told(ErrorCode::AccessDenied);
}

Told writeOutput(const std::string& path, std::span<const std::uint8_t> bytes, Io& io) {
  if (const auto written = writeFileAtomically(path, bytes); !written) {
    io.diagnostic(path) << "could not write it: " << written.error().message << '\n';
    return written.error();
  }
  return {};
}

Told binaryMayGoOut(const std::string& what, const Io& io) {
  if (!io.outIsTerminal) return {};
  io.diagnostic("-") << "will not write " << what
                     << " to a terminal (redirect standard output to a file or a pipe: > scene.bmp)\n";
  return Told(ErrorCode::NotRegularFile);
}

Told writeResult(const std::string& path, std::span<const std::uint8_t> bytes, Io& io) {
  if (isStandardStream(path)) {
    io.out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return {};  // a failed write is told once the command ends
  }
  if (const Told written = writeOutput(path, bytes, io); !written) return written;
  io.out << path << '\n';
  return {};
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

int toldRoadEnd(const RoadEnd& end, const std::string& movie, Io& io) {
  switch (end.stop) {
    case RoadStop::None:
      if (const auto step = newestReplacement(movie)) io.out << replacedLine(*step, movie) << '\n';
      return 0;
    case RoadStop::MovieUnopened:
      io.diagnostic(movie) << boxLine("cannot open movie " + movie + ": " + end.refusal.message, movie) << '\n';
      return 1;
    case RoadStop::NoSuchPreview: io.diagnostic(movie) << boxLine(end.refusal.message, movie) << '\n'; return 1;
    default: return 1;
  }
}

}  // namespace orvane::cli
