// SPDX-License-Identifier: GPL-3.0-or-later
#include "workflow/movie_history.h"

#include "replace/movie_lock.h"
#include "replace/prune.h"

namespace orvane {

Result<HistoryOpening> openForHistory(Core& core, const std::string& movie, FileLayer& files) {
  if (auto opened = files.open(movie, OpenMode::Read); !opened) return opened.error();
  return HistoryOpening{recoverMovie(core, movie, files)};
}

Result<MovieHistory> readMovieHistory(const std::string& movie, bool checked, FileLayer& files) {
  auto loaded = Journal::load(files, movie, checked ? JournalRead::Checked : JournalRead::Heads);
  if (!loaded) return loaded.error();
  auto journal = std::make_unique<Journal>(std::move(*loaded));
  History history = readHistory(journal->records());
  std::vector<std::string> warnings = journal->warnings();
  return MovieHistory{std::move(journal), std::move(history), std::move(warnings)};
}

Told stepMovieHistory(Core& core, const std::string& movie, HistoryStep step, FileLayer& files) {
  return stepHistory(core, movie, step, files);
}

std::size_t defaultKeptSteps() { return JournalLimits{}.steps; }

Result<std::size_t> pruneMovieHistory(Core& core, const std::string& movie, std::size_t keep, FileLayer& files) {
  JournalLimits limits;
  limits.steps = keep;
  return pruneHistory(core, movie, limits, files);
}

}  // namespace orvane
