// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The start of every command on one movie that does not scan it (history,
// undo): the movie must open for reading, and a write to it that was
// interrupted is settled before anything else, as opening it would.
#include <iosfwd>
#include <string>

#include "cli/command.h"
#include "shell/core.h"
#include "shell/error.h"

namespace orvane::cli {

// Refused, with a line on standard error, when the movie cannot be opened;
// the lines of a settled interrupted write go to the activity log.
Told openedAndSettled(Core& core, const std::string& movie, const Io& io);

}  // namespace orvane::cli
