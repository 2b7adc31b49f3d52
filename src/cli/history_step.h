// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What undo and redo share: one step through the movie's history (or every
// one with --all), each told on standard output with the command that takes
// it back again.
#include <string>

#include "cli/command.h"
#include "workflow/movie_history.h"

namespace orvane::cli {

// 0 when every step asked for was made (with `all`, also when there was none
// to make); 1 when one was refused or failed, or there was none to make. The
// refusal's box is a diagnostic on standard error.
int takeHistorySteps(HistoryStep which, const std::string& movie, bool all, Io& io);

}  // namespace orvane::cli
