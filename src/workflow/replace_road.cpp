// SPDX-License-Identifier: GPL-3.0-or-later
#include "workflow/replace_road.h"

#include "display/grid.h"
#include "replace/scene_writer.h"
#include "workflow/open_movie.h"

namespace orvane {

Told replaceScene(Core& core, int scene, FileLayer& files) {
  const Told written = writeBufferToScene(core, scene, files);
  if (written) drawPage(core);
  return written;
}

Told replaceRoad(Core& core, const std::string& movie, int n, const PictureLoader& loadPicture, FileLayer& files) {
  // The window has no such step; its boxes are told as the write's are.
  const auto refuse = [&core](ErrorCode code, const std::string& text, BoxIcon icon) {
    core.host.messageBox(text, "", icon);
    return Told(code);
  };
  if (const auto opened = loadfile3(core, movie, ScanTuning{}, files); !opened)
    return refuse(opened.error().code, "cannot open movie " + movie + ": " + opened.error().message, BoxIcon::Critical);
  if (n < 1 || n > core.s.piccount) {
    const int count = core.s.piccount;
    return refuse(ErrorCode::NoSuchPreview,
                  "the movie holds " + std::to_string(count) + (count == 1 ? " preview" : " previews") +
                      "; there is no preview " + std::to_string(n),
                  BoxIcon::Information);
  }
  if (const Told loaded = loadPicture(core); !loaded) return loaded;
  core.s.selpic = static_cast<std::int16_t>(n);
  return replaceScene(core, n, files);
}

}  // namespace orvane
