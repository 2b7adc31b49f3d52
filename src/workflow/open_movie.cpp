// SPDX-License-Identifier: GPL-3.0-or-later
#include "workflow/open_movie.h"

#include "display/grid.h"
#include "previews/repair.h"
#include "previews/scanner.h"
#include "replace/movie_lock.h"

namespace orvane {

Result<WalkSummary> loadfile3(Core& core, const std::string& moviePath, const ScanTuning& tuning, FileLayer& files) {
  // What it could not settle it has logged; the movie can be read all the same.
  Told::from(recoverMovie(core, moviePath, files));
  const auto walk = walkMovie(core, moviePath, tuning, files);
  if (!walk) return walk.error();
  core.host.setPageMaximum(pageMaximumFor(core.s.piccount));
  reportWalkEnd(core, *walk);
  repair(core, false);
  drawPage(core);
  return walk;
}

}  // namespace orvane
