// SPDX-License-Identifier: GPL-3.0-or-later
#include "workflow/history_steps.h"

#include "display/grid.h"
#include "replace/undo.h"
#include "workflow/movie_history.h"

namespace orvane {
namespace {

Told step(Core& core, HistoryStep which, FileLayer& files) {
  if (core.s.moviefile.empty()) {
    const bool undo = which == HistoryStep::Undo;
    const std::string text = std::string("There is nothing to ") + (undo ? "undo" : "redo") +
                             ": no movie is open.\r\nPlease open one first with \"Open mevrik Movie...\".";
    core.host.messageBox(text, undo ? "Nothing to undo" : "Nothing to redo", BoxIcon::Information);
    return Error{undo ? ErrorCode::NothingToUndo : ErrorCode::NothingToRedo, text};
  }
  const Told stepped = stepHistory(core, core.s.moviefile, which, files);
  if (stepped) drawPage(core);
  return stepped;
}

}  // namespace

Told undoReplace(Core& core, FileLayer& files) { return step(core, HistoryStep::Undo, files); }
Told redoReplace(Core& core, FileLayer& files) { return step(core, HistoryStep::Redo, files); }

Result<AvailableSteps> availableSteps(const std::string& movie, FileLayer& files) {
  if (movie.empty()) return AvailableSteps{};
  const auto read = readMovieHistory(movie, false, files);
  if (!read) return read.error();
  return AvailableSteps{read->history.undoable != nullptr, read->history.redoable != nullptr};
}

}  // namespace orvane
