// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Opening a movie: the scanner's walk, then the page bar, the repair of the
// previews found and the first page of the grid.
#include <cstddef>
#include <string>

#include "previews/chunked_reader.h"
#include "previews/scanner.h"
#include "shell/core.h"
#include "shell/error.h"
#include "shell/file_layer.h"

namespace orvane {

// Scans the movie at `moviePath`. First of all, a write to it that was
// interrupted (the program killed, the power cut) is settled from its journal,
// with one line under "Replace" (recoverMovie; nothing happens, and nothing is
// logged, for a movie without one). A movie that cannot be opened or measured
// (or is too large for 32-bit positions) then returns an error before anything
// else changes: no further log line, stores and page bar as they were.
//
// Otherwise, in this order: the walk (walkMovie: stores reset, "Trying to
// load ..." under Scanner, every record recorded and extracted with the bars'
// progress); the page bar's maximum; "Done" under Scanner, with a line for
// records beyond the store's 255 and one for a read that failed part-way;
// repair of the previews; drawPage.
//
// How the movie is read and searched (`tuning`) changes nothing of the above.
// The summary says whether a read failed part-way (the movie is then shown as
// far as it was read) and how many records were beyond the store.
Result<WalkSummary> loadfile3(Core& core, const std::string& moviePath, const ScanTuning& tuning = {},
                              FileLayer& files = systemFileLayer());

}  // namespace orvane
