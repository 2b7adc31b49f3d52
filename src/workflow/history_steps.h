// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's Edit menu: undo and redo of replacements in the open movie,
// with the grid and picture view redrawn from what the movie then holds.
#include <string>

#include "shell/core.h"
#include "shell/error.h"
#include "shell/file_layer.h"

namespace orvane {

// stepHistory on the open movie, then drawPage after a step that wrote.
// Without an open movie, a box says there is nothing to undo (or redo).
Told undoReplace(Core& core, FileLayer& files = systemFileLayer());
Told redoReplace(Core& core, FileLayer& files = systemFileLayer());

struct AvailableSteps {
  bool undo = false;
  bool redo = false;
};
// What the journal of `movie` offers now, read without the lock (the step
// itself checks again under it). No movie (an empty path): nothing.
Result<AvailableSteps> availableSteps(const std::string& movie, FileLayer& files = systemFileLayer());

}  // namespace orvane
