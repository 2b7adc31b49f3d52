// SPDX-License-Identifier: GPL-3.0-or-later
// orvane-cli history MOVIE [--json] [--prune [--keep N]]: the movie's
// replacements, newest first, one line each: when, which previews, what went
// in, and what became of it; or, with --prune, the oldest dropped.
#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>

#include "cli/command.h"
#include "cli/console_host.h"
#include "cli/history_report.h"
#include "cli/movie_command.h"
#include "shell/core.h"
#include "workflow/movie_history.h"

namespace orvane::cli {
namespace {

struct HistoryOptions {
  std::string movie;
  bool json = false;
  bool prune = false;
  std::size_t keep = defaultKeptSteps();
};

// Settles an interrupted write first (its log line on standard error), then
// prints the history. 1 when the movie or its journal cannot be read.
int runHistory(const HistoryOptions& options, Io& io) {
  ConsoleHost host(io, options.movie);
  Core core(host);
  if (!openedAndSettled(core, options.movie, io)) return 1;
  if (options.prune) {
    const auto pruned = pruneMovieHistory(core, options.movie, options.keep);
    if (!pruned) io.diagnostic(options.movie) << boxLine(pruned.error().message, options.movie) << '\n';
    return pruned ? 0 : 1;
  }
  // Every entry's bytes checked, so that a damaged one is told and left out.
  const auto read = readMovieHistory(options.movie, true);
  if (!read) {
    io.diagnostic(options.movie) << boxLine(read.error().message, options.movie) << '\n';
    return 1;
  }
  for (const std::string& warning : read->warnings) io.diagnostic(options.movie) << warning << '\n';
  const History& history = read->history;
  if (options.json) {
    io.out << historyJson(history);
    return 0;
  }
  if (history.replacements.empty()) io.diagnostic(options.movie) << "no replacements recorded\n";
  io.out << historyLines(history);
  return 0;
}

}  // namespace

Command addHistory(CLI::App& parent) {
  auto o = std::make_shared<HistoryOptions>();
  CLI::App* sub = parent.add_subcommand("history", "List a movie's replacements, newest first");
  sub->add_option("MOVIE", o->movie, "The movie file (.3mm)")->required()->type_name("");
  sub->add_flag("--json", o->json,
                "Print a JSON array, newest first: one object per\n"
                "replacement with its step, time, previews, state and\n"
                "what went in");
  sub->add_flag("--prune", o->prune, "Drop the oldest replacements from the history now");
  sub->add_option("--keep", o->keep, "With --prune: how many of the newest replacements to keep (default 100)")
      ->check(CLI::Range(std::size_t{1}, std::size_t{1000000}))
      ->type_name("N");
  sub->footer(
      "One line per replacement: its journal step, when it was made, which\n"
      "previews it changed, whether it is in the movie (done) or was taken\n"
      "back (undone), and what went in (the picture's file name, or the folder\n"
      "previews were put back from).\n"
      "\n"
      "The history keeps the newest 100 replacements that can be undone or redone,\n"
      "and at most 64 MiB per movie; older ones are dropped as new ones are made.\n"
      "--prune drops them now, --keep N keeping the newest N instead of 100.\n"
      "\n"
      "Examples:\n  orvane-cli history demo.3mm\n  orvane-cli history --json demo.3mm\n"
      "  orvane-cli history demo.3mm --prune --keep 20");
  return {sub, {"history MOVIE [--json] [--prune [--keep N]]"}, [o](Io& io) { return runHistory(*o, io); }};
}

}  // namespace orvane::cli
