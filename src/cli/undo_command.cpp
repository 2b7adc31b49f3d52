#include "cli/undo_command.h"

#include <ostream>

#include "cli/console_host.h"
#include "cli/movie_command.h"
#include "replace/undo.h"
#include "shell/core.h"
#include "workflow/history_steps.h"

namespace orvane::cli {

int runUndo(const UndoOptions& options, std::ostream& out, std::ostream& err) {
  ConsoleHost host(out, err);
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

}  // namespace orvane::cli
