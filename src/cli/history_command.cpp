// SPDX-License-Identifier: GPL-3.0-or-later
// orvane-cli history MOVIE: the movie's replacements, newest first, one line
// each: when, which preview, and what became of it.
#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>

#include "cli/command.h"
#include "cli/console_host.h"
#include "cli/movie_command.h"
#include "replace/history.h"
#include "replace/journal.h"
#include "shell/core.h"

namespace orvane::cli {
namespace {

struct HistoryOptions {
  std::string movie;
};

// Settles an interrupted write first (its log line on standard output), then
// prints the lines. 1 when the movie or its journal cannot be read.
int runHistory(const HistoryOptions& options, Io& io) {
  std::ostream& out = io.out;
  std::ostream& err = io.err;
  ConsoleHost host(&out, err);
  Core core(host);
  if (!openedAndSettled(core, options.movie, err)) return 1;
  const auto journal = Journal::load(systemFileLayer(), options.movie);
  if (!journal) {
    err << "orvane-cli: " << journal.error().message << '\n';
    return 1;
  }
  const History history = readHistory(journal->records());
  if (history.replacements.empty()) err << "orvane-cli: no replacements recorded for " << options.movie << '\n';
  for (auto r = history.replacements.rbegin(); r != history.replacements.rend(); ++r)
    out << localTimeText(r->entry->time) << "  " << scenesText(*r->entry) << "  " << stateText(r->state) << '\n';
  return 0;
}

}  // namespace

Command addHistory(CLI::App& parent) {
  auto o = std::make_shared<HistoryOptions>();
  CLI::App* sub = parent.add_subcommand("history", "List a movie's replacements, newest first");
  sub->add_option("MOVIE", o->movie, "The movie file (.3mm)")->required()->type_name("");
  sub->footer(
      "One line per replacement: when it was made, which previews it changed, and\n"
      "whether it is in the movie (done) or was taken back (undone).\n"
      "\n"
      "Example:\n  orvane-cli history demo.3mm");
  return {sub, {"history MOVIE"}, [o](Io& io) { return runHistory(*o, io); }};
}

}  // namespace orvane::cli
