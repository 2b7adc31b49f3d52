// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Putting a whole folder of previews back into the open movie: every file
// named as the export names them, "<movie name>-NNN.<extension>", goes over
// preview NNN, all in one journaled step that one undo takes back.
//
// First a plan (planPutBack), made without touching the stores, the log or
// the movie: which files change which preview, which hold the picture the
// preview already shows, which are refused and why, and which entries of the
// folder are ignored and why (other names, links, folders). Then, after the
// confirmation the caller asks for, the write (putPreviewsBack).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "shell/core.h"
#include "shell/error.h"
#include "shell/file_layer.h"
#include "shell/index_picture.h"

namespace orvane {

// Reads one picture file; the error's message is the reason shown for
// refusing the file.
using FolderPictureReader = std::function<Result<IndexPicture>(const std::string& path)>;

// The strict BMP reader of replace (readBmp), with reasons worded for a list.
FolderPictureReader bmpFileReader(FileLayer& files = systemFileLayer());

struct PlannedScene {
  int preview = 0;
  std::string file;       // its name in the folder
  RecordPicture picture;  // what goes into the record, as loadedPicture makes it
  int cleared = 0;        // pixels above 150, cleared to 0
};

struct SkippedFile {
  std::string file;
  std::string why;
};

struct PutBackPlan {
  std::string folder;
  std::string pattern;                 // "Scene-NNN.bmp": the names taken
  std::vector<PlannedScene> changes;   // in preview order
  std::vector<std::string> unchanged;  // files holding exactly the preview's picture
  std::vector<SkippedFile> refused;    // named like that, but not put back
  std::vector<SkippedFile> ignored;    // every other entry of the folder

  std::size_t named() const { return changes.size() + unchanged.size() + refused.size(); }
};

// The preview number in a file name "<stem>-NNN.<extension>" (three digits;
// the extension in any letter case; an empty `extension` takes any), or -1
// for a name of another form.
int previewNumberIn(const std::string& name, const std::string& stem, const std::string& extension);

// Plans putting the files of `folder` back over the previews of the open
// movie. Each file named for a preview is read with `read` and made into
// record rows as loading it would (prefixes set, colours above 150 cleared);
// it is unchanged when its pixels equal the preview's. Refused: numbers the
// movie does not hold, two files for one preview, files `read` refuses, and
// a file whose record overlaps that of another change. Links are never
// followed. A folder that cannot be listed is an error.
Result<PutBackPlan> planPutBack(const Stores& s, const std::string& folder, const std::string& extension,
                                const FolderPictureReader& read);

// Logs under "Replace": "Putting previews back from <folder>...", a line for
// each ignored and each refused file and for each picture whose colours above
// 150 were cleared; then writes every change in one step (writeScenes) and,
// after it, redraws (drawPage); last the tally ("3 replaced, 13 unchanged,
// 1 refused, 2 ignored."). Nothing is written, nor journaled, for a plan
// without changes. A failed write is told in the box begin would show; then no
// preview has changed.
Told putPreviewsBack(Core& core, const PutBackPlan& plan, FileLayer& files = systemFileLayer());

}  // namespace orvane
