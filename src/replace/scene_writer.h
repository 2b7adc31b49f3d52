// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writes pictures over preview records of the movie, in place: the picture
// buffer over one preview (begin), or several new pictures over several
// previews in one step (writeScenes).
#include <vector>

#include "shell/core.h"
#include "shell/error.h"
#include "shell/file_layer.h"
#include "shell/index_picture.h"

namespace orvane {

// Replaces the rows of preview `scene` in moviefile with pictureBuffer, after checking
// that a picture was loaded, that the preview exists and that the movie is
// still there. Then, holding the movie's writer's lock (another writer waits
// up to core.lockPatience, then is refused): interrupted earlier writes are
// settled; the movie must still be the scanned file, unchanged, and the record
// must still hold the bytes the scan found (else the "Movie changed" box); the
// record's old and new rows are recorded in the movie's journal and flushed;
// the 11826 row bytes go out as one block, are flushed to stable storage and
// read back; the journal entry is marked done. Succeeds only after a verified
// write, which also brings preview `scene` in the store, its checksum and the
// kept identity up to date. Every refusal or failure is told to the user in a
// message box, and a failed write is undone
// where possible. A picture the preview already holds writes and records
// nothing: a line in the log says so.
Told writeBufferToScene(Core& core, int scene, FileLayer& files = systemFileLayer());

// A picture that has not gone through the picture buffer, made as loading it
// there would make it: every row prefix 0x00 0x90, every pixel above 150
// cleared to 0.
RecordPicture loadedPicture(const IndexPicture& picture);
// How many pixels of the picture loadedPicture clears.
int clearedPixels(const IndexPicture& picture);

struct NewScene {
  int preview = 0;        // 1..piccount of the open movie
  RecordPicture picture;  // its rows go into the record as they are (recordRows)
};

// Writes every scene over its preview in the open movie in one step, under
// the checks and the lock begin uses: every record must still hold what the
// scan found, the records must not overlap, and one journal entry holds them
// all, so that the whole step is in the movie or none of it, and one undo
// takes it back. The blocks are flushed once. Tells the user nothing: errors
// carry the text a box would show (see tellWriteError). The scenes are
// written, and journaled, in the order of their previews.
//
// `label` says what went in, for the history ("folder DIR"); scenes that
// already hold their new rows are left out of the step, and a step left with
// no scene at all writes nothing and records nothing (Unchanged).
Status writeScenes(Core& core, std::vector<NewScene> scenes, FileLayer& files = systemFileLayer(),
                   const std::string& label = {});

// Shows a failed write's error in the box begin would use for it: "Error!"
// for a movie that was moved, "Movie in use", "Movie changed" or "Can't write".
Told tellWriteError(Core& core, const Error& error);

}  // namespace orvane
