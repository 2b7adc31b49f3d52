// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A movie's history of replacements, for the commands that work on it
// without scanning the movie (history, undo, redo): opening the movie for
// them, reading the history, stepping through it and pruning it.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "replace/history.h"
#include "replace/journal.h"
#include "replace/undo.h"
#include "shell/core.h"
#include "shell/error.h"
#include "shell/file_layer.h"

namespace orvane {

// The movie must open for reading (else its error, for the caller to tell);
// then a write to it that was interrupted is settled first, as opening it in
// the window would, with its lines in the activity log. What could not be
// settled comes back in `settling`: a journal refused as not the user's own
// (NotOwnFile) or as no journal (JournalFailed) leaves the movie read-only
// until it is dealt with, which is worth saying where the log is not seen.
struct HistoryOpening {
  Status settling;
};
Result<HistoryOpening> openForHistory(Core& core, const std::string& movie, FileLayer& files = systemFileLayer());

// The history the movie's journal holds, read without the lock. `checked`
// also checks every entry's bytes, so that a damaged one is left out with a
// warning (one line each, for the user).
struct MovieHistory {
  std::unique_ptr<Journal> journal;  // what the history's entries point into
  History history;
  std::vector<std::string> warnings;
};
Result<MovieHistory> readMovieHistory(const std::string& movie, bool checked, FileLayer& files = systemFileLayer());

// One undo or redo on `movie` (stepHistory; its refusals told in a box).
Told stepMovieHistory(Core& core, const std::string& movie, HistoryStep step, FileLayer& files = systemFileLayer());

// How many steps a journal keeps when the user does not say.
std::size_t defaultKeptSteps();

// Drops the oldest steps beyond `keep` from the movie's journal; the number
// dropped.
Result<std::size_t> pruneMovieHistory(Core& core, const std::string& movie, std::size_t keep,
                                      FileLayer& files = systemFileLayer());

}  // namespace orvane
