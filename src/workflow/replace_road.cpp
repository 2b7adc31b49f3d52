// SPDX-License-Identifier: GPL-3.0-or-later
#include "workflow/replace_road.h"

#include "display/grid.h"
#include "replace/scene_writer.h"
#include "workflow/open_movie.h"

namespace orvane {

Status replaceScene(Core& core, int axe, FileLayer& files) {
  const Status written = begin(core, axe, files);
  if (written) Draw_Click(core);
  return written;
}

Status replaceRoad(Core& core, const std::string& movie, int n, const PictureLoader& loadPicture, FileLayer& files) {
  if (const auto opened = loadfile3(core, movie, ScanTuning{}, files); !opened)
    return Error{opened.error().code, "cannot open movie " + movie + ": " + opened.error().message};
  if (n < 1 || n > core.s.piccount) {
    const int count = core.s.piccount;
    return Error{ErrorCode::NoSuchPreview, "the movie holds " + std::to_string(count) +
                                               (count == 1 ? " preview" : " previews") + "; there is no preview " +
                                               std::to_string(n)};
  }
  if (const Status loaded = loadPicture(core); !loaded) return loaded;
  core.s.selpic = static_cast<std::int16_t>(n);
  return replaceScene(core, n, files);
}

}  // namespace orvane
