// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/history_step.h"

#include <ostream>

#include "cli/console_host.h"
#include "cli/journal_steps.h"
#include "cli/movie_command.h"
#include "shell/core.h"
#include "workflow/history_steps.h"

namespace orvane::cli {

int takeHistorySteps(HistoryStep which, const std::string& movie, bool all, Io& io) {
  ConsoleHost host(io, movie);
  Core core(host);
  if (!openedAndSettled(core, movie, io)) return 1;
  const bool undo = which == HistoryStep::Undo;
  do {
    if (all) {
      const auto steps = availableSteps(movie);
      if (!steps) {
        io.diagnostic(movie) << boxLine(steps.error().message, movie) << '\n';
        return 1;
      }
      if (!(undo ? steps->undo : steps->redo)) return 0;
    }
    // Read before the step, which changes what comes next.
    const auto step = undo ? nextUndo(movie) : nextRedo(movie);
    if (!stepMovieHistory(core, movie, which)) return 1;
    if (step) io.out << (undo ? undoneLine(*step, movie) : redoneLine(*step, movie)) << '\n';
  } while (all);
  return 0;
}

}  // namespace orvane::cli
