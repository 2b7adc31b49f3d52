// SPDX-License-Identifier: GPL-3.0-or-later
// orvane-cli undo MOVIE [--all]: takes back the newest replacement still in the
// movie, or every one, newest first.
#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>

#include "cli/command.h"
#include "cli/console_host.h"
#include "cli/movie_command.h"
#include "replace/undo.h"
#include "shell/core.h"
#include "workflow/history_steps.h"

namespace orvane::cli {
namespace {

struct UndoOptions {
  std::string movie;
  bool all = false;
};

// Prints the log lines of each undo, boxes on standard error. 0 when every
// undo asked for was made (with --all, also when there was nothing to undo),
// 1 when one was refused or failed, or there was nothing to undo.
int runUndo(const UndoOptions& options, Io& io) {
  std::ostream& err = io.err;
  ConsoleHost host(&io.out, err);
  Core core(host);
  if (!openedAndSettled(core, options.movie, err)) return 1;
  if (!options.all) return stepHistory(core, options.movie, HistoryStep::Undo).ok() ? 0 : 1;
  for (;;) {
    const auto steps = availableSteps(options.movie);
    if (!steps) {
      err << "orvane-cli: " << steps.error().message << '\n';
      return 1;
    }
    if (!steps->undo) return 0;
    if (!stepHistory(core, options.movie, HistoryStep::Undo)) return 1;
  }
}

}  // namespace

Command addUndo(CLI::App& parent) {
  auto o = std::make_shared<UndoOptions>();
  CLI::App* sub = parent.add_subcommand("undo", "Take back the newest replacement of a movie, or all of them");
  sub->add_option("MOVIE", o->movie, "The movie file (.3mm)")->required()->type_name("");
  sub->add_flag("--all", o->all, "Take back every replacement still in the movie, newest first");
  sub->footer(
      "An undo puts back the bytes the replacement found, after checking that the\n"
      "scene still holds exactly what it wrote; a scene changed since is left alone.\n"
      "Undoing every replacement gives back the movie as it was.\n"
      "\n"
      "Examples:\n  orvane-cli undo demo.3mm\n  orvane-cli undo demo.3mm --all");
  return {sub, {"undo MOVIE [--all]"}, [o](Io& io) { return runUndo(*o, io); }};
}

}  // namespace orvane::cli
