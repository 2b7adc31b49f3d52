// SPDX-License-Identifier: GPL-3.0-or-later
// orvane-cli history MOVIE [--json]: the movie's replacements, newest first,
// one line each: when, which previews, what went in, and what became of it.
#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>

#include "cli/command.h"
#include "cli/console_host.h"
#include "cli/history_report.h"
#include "cli/movie_command.h"
#include "replace/journal.h"
#include "shell/core.h"

namespace orvane::cli {
namespace {

struct HistoryOptions {
  std::string movie;
  bool json = false;
};

// Settles an interrupted write first (its log line on standard error), then
// prints the history. 1 when the movie or its journal cannot be read.
int runHistory(const HistoryOptions& options, Io& io) {
  ConsoleHost host(io, options.movie);
  Core core(host);
  if (!openedAndSettled(core, options.movie, io)) return 1;
  const auto journal = Journal::load(systemFileLayer(), options.movie);
  if (!journal) {
    io.diagnostic(options.movie) << boxLine(journal.error().message, options.movie) << '\n';
    return 1;
  }
  const History history = readHistory(journal->records());
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
  sub->footer(
      "One line per replacement: its journal step, when it was made, which\n"
      "previews it changed, and whether it is in the movie (done) or was taken\n"
      "back (undone).\n"
      "\n"
      "Examples:\n  orvane-cli history demo.3mm\n  orvane-cli history --json demo.3mm");
  return {sub, {"history MOVIE [--json]"}, [o](Io& io) { return runHistory(*o, io); }};
}

}  // namespace orvane::cli
