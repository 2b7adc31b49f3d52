// SPDX-License-Identifier: GPL-3.0-or-later
// orvane-cli history MOVIE [--prune [--keep N]]: the movie's replacements,
// newest first, one line each: when, which preview, what became of it, and
// what went in; or, with --prune, the oldest dropped.
#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>

#include "cli/command.h"
#include "cli/console_host.h"
#include "cli/movie_command.h"
#include "replace/history.h"
#include "replace/journal.h"
#include "replace/prune.h"
#include "shell/core.h"

namespace orvane::cli {
namespace {

struct HistoryOptions {
  std::string movie;
  bool prune = false;
  std::size_t keep = JournalLimits{}.steps;
};

// Settles an interrupted write first (its log line on standard output), then
// prints the lines. 1 when the movie or its journal cannot be read.
int runHistory(const HistoryOptions& options, Io& io) {
  std::ostream& out = io.out;
  std::ostream& err = io.err;
  ConsoleHost host(&out, err);
  Core core(host);
  if (!openedAndSettled(core, options.movie, err)) return 1;
  if (options.prune) {
    JournalLimits limits;
    limits.steps = options.keep;
    const auto pruned = pruneHistory(core, options.movie, limits);
    if (!pruned) {
      std::string why = pruned.error().message;
      for (std::size_t at; (at = why.find("\r\n")) != std::string::npos;) why.replace(at, 2, " ");
      err << "orvane-cli: " << why << '\n';
    }
    return pruned ? 0 : 1;
  }
  // Every entry's bytes checked, so that a damaged one is told and left out.
  const auto journal = Journal::load(systemFileLayer(), options.movie, JournalRead::Checked);
  if (!journal) {
    err << "orvane-cli: " << journal.error().message << '\n';
    return 1;
  }
  for (const std::string& warning : journal->warnings()) err << "orvane-cli: " << warning << '\n';
  const History history = readHistory(journal->records());
  if (history.replacements.empty()) err << "orvane-cli: no replacements recorded for " << options.movie << '\n';
  for (auto r = history.replacements.rbegin(); r != history.replacements.rend(); ++r) {
    out << localTimeText(r->entry->time) << "  ";
    if (!r->entry->label.empty()) out << escapedName(r->entry->label) << "  ";
    out << scenesText(*r->entry) << "  " << stateText(r->state) << '\n';
  }
  return 0;
}

}  // namespace

Command addHistory(CLI::App& parent) {
  auto o = std::make_shared<HistoryOptions>();
  CLI::App* sub = parent.add_subcommand("history", "List a movie's replacements, newest first");
  sub->add_option("MOVIE", o->movie, "The movie file (.3mm)")->required()->type_name("");
  sub->add_flag("--prune", o->prune, "Drop the oldest replacements from the history now");
  sub->add_option("--keep", o->keep, "With --prune: how many of the newest replacements to keep (default 100)")
      ->check(CLI::Range(std::size_t{1}, std::size_t{1000000}))
      ->type_name("N");
  sub->footer(
      "One line per replacement: when it was made, what went in (the picture's file\n"
      "name, or the folder previews were put back from), which previews it changed,\n"
      "and whether it is in the movie (done) or was taken back (undone).\n"
      "\n"
      "The history keeps the newest 100 replacements that can be undone or redone,\n"
      "and at most 64 MiB per movie; older ones are dropped as new ones are made.\n"
      "--prune drops them now, --keep N keeping the newest N instead of 100.\n"
      "\n"
      "Examples:\n  orvane-cli history demo.3mm\n  orvane-cli history demo.3mm --prune --keep 20");
  return {sub, {"history MOVIE [--prune [--keep N]]"}, [o](Io& io) { return runHistory(*o, io); }};
}

}  // namespace orvane::cli
