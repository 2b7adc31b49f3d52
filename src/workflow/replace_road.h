// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The roads that write previews, each joined up in one call: the window's
// "Yes" (the write, then the grid and picture view redrawn from what the
// movie now holds), and the command line's whole roads, from opening the
// movie to the write: a BMP over one preview and any picture converted over
// one preview; and a folder of pictures over many previews of the open movie.
#include <string>

#include "convert/convert.h"
#include "shell/core.h"
#include "shell/error.h"
#include "shell/file_layer.h"
#include "workflow/import_picture.h"
#include "workflow/put_back.h"

namespace orvane {

// writeBufferToScene(scene), and after a verified write drawPage, so that the
// grid, the picture view and an export show what the file holds. The log
// lines are exactly the writer's.
Told replaceScene(Core& core, int scene, FileLayer& files = systemFileLayer());

// Where a road stopped.
enum class RoadStop {
  None,            // it went all the way
  MovieUnopened,   // the movie cannot be opened or measured
  NoSuchPreview,   // the movie does not hold the preview asked for
  PictureRefused,  // the picture could not be read or converted
  FolderUnread,    // the folder cannot be listed
  NothingNamed,    // no file of the folder is named for a preview
  SomeRefused,     // the folder's other files went in, but some were refused
  WriteFailed,     // the write was refused or failed; no preview changed
};

// The end of a road. What the road's procedures tell, they have told (the
// picture's refusal in the log, and the "Can't read" box of a compressed BMP;
// a failed write in its box). `refusal` says the rest: its code for every
// stop, and its words for a movie that cannot be opened, a preview it does
// not hold, a folder that cannot be listed and a picture that cannot be
// imported, which the caller tells in its own sentence (the window has
// dialogs of its own for these; the command line says them on standard
// error).
struct RoadEnd {
  RoadStop stop = RoadStop::None;
  Error refusal{ErrorCode::Io, {}};

  bool done() const { return stop == RoadStop::None; }
};

// The movie opened (loadfile3: interrupted writes settled, then the scan),
// preview n checked, the BMP loaded (loadblimp), selpic set to n and the
// preview replaced (replaceScene: journal, lock, verified write).
RoadEnd replaceFromBmp(Core& core, const std::string& movie, int n, const std::string& bmpPath,
                       FileLayer& files = systemFileLayer());

// The same road with any picture, converted as importPicture converts it.
RoadEnd importIntoScene(Core& core, const std::string& movie, int n, const std::string& picturePath,
                        const convert::ConvertOptions& options, const PictureDecoder& decode,
                        FileLayer& files = systemFileLayer());

// The folder planned against the open movie (planPutBack, each file read
// with `read`) and, unless no file is named for a preview, put back in one
// step (putPreviewsBack): what the window does after its confirmation. The
// plan, once made, comes back with the end, for the caller to count what went
// in and what was refused.
struct FolderRoadEnd {
  RoadEnd end;
  PutBackPlan plan;
};
FolderRoadEnd putFolderBack(Core& core, const std::string& folder, const std::string& extension,
                            const FolderPictureReader& read, FileLayer& files = systemFileLayer());

}  // namespace orvane
