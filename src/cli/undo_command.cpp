// SPDX-License-Identifier: GPL-3.0-or-later
// orvane-cli undo MOVIE [--all]: takes back the newest replacement still in the
// movie, or every one, newest first.
#include <CLI/CLI.hpp>
#include <memory>

#include "cli/command.h"
#include "cli/history_step.h"

namespace orvane::cli {
namespace {

struct UndoOptions {
  std::string movie;
  bool all = false;
};

}  // namespace

Command addUndo(CLI::App& parent) {
  auto o = std::make_shared<UndoOptions>();
  CLI::App* sub = parent.add_subcommand("undo", "Take back the newest replacement of a movie, or all of them");
  sub->add_option("MOVIE", o->movie, "The movie file (.3mm)")->required()->type_name("");
  sub->add_flag("--all", o->all, "Take back every replacement still in the movie, newest first");
  sub->footer(
      "An undo puts back the bytes the replacement found, after checking that the\n"
      "scene still holds exactly what it wrote; a scene changed since is left alone.\n"
      "Undoing every replacement gives back the movie as it was. redo makes the\n"
      "newest undone replacement again.\n"
      "\n"
      "Examples:\n  orvane-cli undo demo.3mm\n  orvane-cli undo demo.3mm --all");
  return {
      sub, {"undo MOVIE [--all]"}, [o](Io& io) { return takeHistorySteps(HistoryStep::Undo, o->movie, o->all, io); }};
}

}  // namespace orvane::cli
