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
  if (const Status opened = loadfile3(core, movie, kDefaultChunkBytes, files); !opened) {
    const std::string text = "Cannot open the movie " + movie + ": " + opened.error().message;
    core.host.messageBox(text, "", BoxIcon::Critical);
    return Error{opened.error().code, text};
  }
  if (n < 1 || n > core.s.piccount) {
    const std::string text = "The movie holds " + std::to_string(core.s.piccount) +
                             " previews; there is no preview " + std::to_string(n) + ".";
    core.host.messageBox(text, "", BoxIcon::Critical);
    return Error{ErrorCode::NoSuchPreview, text};
  }
  if (const Status loaded = loadPicture(core); !loaded) return loaded;
  core.s.selpic = static_cast<std::int16_t>(n);
  return replaceScene(core, n, files);
}

}  // namespace orvane
