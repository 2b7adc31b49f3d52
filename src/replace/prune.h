// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Dropping a movie's oldest history on request (orvane-cli history --prune).
#include <cstddef>
#include <string>

#include "replace/journal.h"
#include "shell/core.h"
#include "shell/error.h"
#include "shell/file_layer.h"

namespace orvane {

// Under the movie's writer's lock (interrupted writes settled first), keeps
// the newest `limits.steps` replacements that can be undone or redone and at
// most `limits.bytes` of journal, and drops the rest (Journal::prune). Logs
// one line under "Replace" saying how many were dropped; returns that number.
// Errors as holdMovie's, as the user reads them (notHeld), or the rewrite's.
Result<std::size_t> pruneHistory(Core& core, const std::string& movie, const JournalLimits& limits,
                                 FileLayer& files = systemFileLayer());

}  // namespace orvane
