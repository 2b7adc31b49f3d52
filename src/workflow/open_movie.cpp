#include "workflow/open_movie.h"

#include "display/grid.h"
#include "previews/repair.h"
#include "previews/scanner.h"

namespace orvane {

Status loadfile3(Core& core, const std::string& filenam, const ScanTuning& tuning) {
  const auto walk = walkMovie(core, filenam, tuning);
  if (!walk) return walk.error();
  core.host.setPageMaximum(pageMaximumFor(core.s.piccount));
  reportWalkEnd(core, *walk);
  repair(core, false);
  Draw_Click(core);
  return {};
}

}  // namespace orvane
