// SPDX-License-Identifier: GPL-3.0-or-later
// orvane-cli redo MOVIE [--all]: makes the newest replacement an undo took
// back again, as the window's Edit > Redo does, or every one, oldest undo last.
#include <CLI/CLI.hpp>
#include <memory>

#include "cli/command.h"
#include "cli/history_step.h"

namespace orvane::cli {
namespace {

struct RedoOptions {
  std::string movie;
  bool all = false;
};

}  // namespace

Command addRedo(CLI::App& parent) {
  auto o = std::make_shared<RedoOptions>();
  CLI::App* sub = parent.add_subcommand("redo", "Make the replacement the last undo took back again");
  sub->add_option("MOVIE", o->movie, "The movie file (.3mm)")->required()->type_name("");
  sub->add_flag("--all", o->all, "Make every replacement undone since the last new one again");
  sub->footer(
      "A redo writes the replacement's picture again, after checking that the\n"
      "scene still holds what the undo put back. A new replacement after an undo\n"
      "ends what can be redone, as in the window.\n"
      "\n"
      "Examples:\n  orvane-cli redo demo.3mm\n  orvane-cli redo demo.3mm --all");
  return {
      sub, {"redo MOVIE [--all]"}, [o](Io& io) { return takeHistorySteps(HistoryStep::Redo, o->movie, o->all, io); }};
}

}  // namespace orvane::cli
