// SPDX-License-Identifier: GPL-3.0-or-later
#include "workflow/replace_road.h"

#include "display/grid.h"
#include "replace/scene_writer.h"
#include "workflow/load_picture.h"
#include "workflow/open_movie.h"

namespace orvane {
namespace {

RoadEnd stoppedAt(RoadStop stop, Error refusal) { return {stop, std::move(refusal)}; }

RoadEnd stoppedAt(RoadStop stop, const Told& refused) { return {stop, Error{refused.code(), {}}}; }

// Opens the movie and checks that it holds preview n.
RoadEnd openAt(Core& core, const std::string& movie, int n, FileLayer& files) {
  if (const auto opened = loadfile3(core, movie, ScanTuning{}, files); !opened)
    return stoppedAt(RoadStop::MovieUnopened, opened.error());
  if (n < 1 || n > core.s.piccount) {
    const int count = core.s.piccount;
    return stoppedAt(RoadStop::NoSuchPreview,
                     Error{ErrorCode::NoSuchPreview, "the movie holds " + std::to_string(count) +
                                                         (count == 1 ? " preview" : " previews") +
                                                         "; there is no preview " + std::to_string(n)});
  }
  return {};
}

// The road's last step, once the picture is in the picture buffer: preview n
// selected and written over.
RoadEnd writeOver(Core& core, int n, FileLayer& files) {
  core.s.selpic = static_cast<std::int16_t>(n);
  if (const Told written = replaceScene(core, n, files); !written) return stoppedAt(RoadStop::WriteFailed, written);
  return {};
}

}  // namespace

Told replaceScene(Core& core, int scene, FileLayer& files) {
  const Told written = writeBufferToScene(core, scene, files);
  if (written) drawPage(core);
  return written;
}

RoadEnd replaceFromBmp(Core& core, const std::string& movie, int n, const std::string& bmpPath, FileLayer& files) {
  if (RoadEnd opened = openAt(core, movie, n, files); !opened.done()) return opened;
  if (const Told loaded = loadblimp(core, bmpPath, files); !loaded) return stoppedAt(RoadStop::PictureRefused, loaded);
  return writeOver(core, n, files);
}

RoadEnd importIntoScene(Core& core, const std::string& movie, int n, const std::string& picturePath,
                        const convert::ConvertOptions& options, const PictureDecoder& decode, FileLayer& files) {
  if (RoadEnd opened = openAt(core, movie, n, files); !opened.done()) return opened;
  if (const Status imported = importPicture(core, picturePath, options, decode); !imported)
    return stoppedAt(RoadStop::PictureRefused, imported.error());
  return writeOver(core, n, files);
}

FolderRoadEnd putFolderBack(Core& core, const std::string& folder, const std::string& extension,
                            const FolderPictureReader& read, FileLayer& files) {
  auto plan = planPutBack(core.s, folder, extension, read);
  if (!plan) return {stoppedAt(RoadStop::FolderUnread, plan.error()), {}};
  RoadEnd end;
  if (plan->named() == 0)
    end = stoppedAt(RoadStop::NothingNamed, Error{ErrorCode::NotFound, {}});
  else if (const Told written = putPreviewsBack(core, *plan, files); !written)
    end = stoppedAt(RoadStop::WriteFailed, written);
  else if (!plan->refused.empty())
    end = stoppedAt(RoadStop::SomeRefused, Error{ErrorCode::BmpRefused, {}});
  return {std::move(end), std::move(*plan)};
}

}  // namespace orvane
