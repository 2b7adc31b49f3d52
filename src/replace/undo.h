// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Undo and redo of replacements, through the movie's journal, newest first.
#include <string>

#include "shell/core.h"
#include "shell/error.h"
#include "shell/file_layer.h"

namespace orvane {

enum class HistoryStep { Undo, Redo };

// Undo takes back the newest replacement still in `movie`; redo makes the
// newest one taken back again. First, under the movie's writer's lock, every
// scene of it must hold exactly the bytes it should (for an undo, those the
// replacement wrote; for a redo, those the undo wrote back), and the movie its
// length then; otherwise nothing is written and a box says the scene was
// changed since. The step itself is a journaled write like a replacement, and
// is logged under "Replace" ("Replacement of scene preview 3 undone.").
// When `movie` is the open one, its previews and the scan's facts follow.
// Every refusal and failure is told in a box.
Told stepHistory(Core& core, const std::string& movie, HistoryStep step, FileLayer& files = systemFileLayer());

}  // namespace orvane
