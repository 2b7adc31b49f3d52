// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Steps several subcommands share. Each one that refuses prints its reason on
// standard error (one line, starting "orvane-cli: ") and returns it as Told.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "cli/command.h"
#include "shell/core.h"
#include "workflow/open_movie.h"
#include "workflow/replace_road.h"

namespace CLI {
class App;
class Validator;
}  // namespace CLI

namespace orvane::cli {

// "1 preview", "0 previews", "16 previews".
std::string previewCount(std::size_t n);

// Scans the movie into the stores.
// Empty (after the line on standard error) when it cannot be opened. A movie
// without previews opens, with a hint on standard error that it may be no movie.
std::optional<WalkSummary> openMovie(Core& core, const std::string& movie, Io& io);

// Preview n exists in the scanned movie.
Told previewExists(const Core& core, int n, Io& io);

// The colours for exported BMPs: `chosen` (empty: the one beside the program,
// else the installed one). A broken chosen palette refuses; a broken default
// one is reported and the built-in colours fill in.
Told loadPalette(Core& core, const std::string& chosen, Io& io);

// Refuses, before anything is written, an output that would go through a
// link, onto the movie being read (`source`, or none), over a folder, or over
// an existing file without `force`.
Told mayWrite(const std::string& path, bool force, const std::string& source, Io& io);
// Writes the bytes to `path` whole or not at all (a new file renamed over it).
Told writeOutput(const std::string& path, std::span<const std::uint8_t> bytes, Io& io);
// Refused, with the hint to redirect, when binary output (`what`: "a BMP")
// would go to a terminal.
Told binaryMayGoOut(const std::string& what, const Io& io);
// The bytes to standard output for "-", else written as writeOutput writes
// them and the file's name printed on standard output.
Told writeResult(const std::string& path, std::span<const std::uint8_t> bytes, Io& io);

// MOVIE and N, the arguments replace and import start with.
void addMovieAndNumber(CLI::App& command, std::string& movie, std::string& number);
// What a road that writes one preview ended in, told as the command line
// tells it: the movie that cannot be opened and the preview it does not hold
// on standard error (a write's failure is there already), a replacement by
// its outcome line on standard output. 0 when the preview was replaced, else
// 1. A refused picture is the caller's to tell.
int toldRoadEnd(const RoadEnd& end, const std::string& movie, Io& io);

// Accepts a whole number (a preview number) at parse time.
const CLI::Validator& wholeNumber();
// The value of a string wholeNumber() accepted.
int toNumber(const std::string& text);

}  // namespace orvane::cli
