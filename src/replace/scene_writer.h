#pragma once
// Writes the picture buffer over one preview record of the movie, in place.
#include <cstdint>
#include <vector>

#include "shell/core.h"
#include "shell/error.h"
#include "shell/file_layer.h"

namespace orvane {

// Replaces the rows of preview `axe` in moviefile with blimp, after checking
// that a picture was loaded, that the preview exists and that the movie is
// still there. Then, holding the movie's writer's lock (another writer waits
// up to core.lockPatience, then is refused): interrupted earlier writes are
// settled; the movie must still be the scanned file, unchanged, and the record
// must still hold the bytes the scan found (else the "Movie changed" box); the
// record's old and new rows are recorded in the movie's journal and flushed;
// the 11826 row bytes go out as one block, are flushed to stable storage and
// read back; the journal entry is marked done. Succeeds only after a verified
// write, which also brings preview `axe` in the store, its checksum and the
// kept identity up to date. Every refusal or failure is told to the user in a
// message box (and returned with the box's text), and a failed write is undone
// where possible.
Status begin(Core& core, int axe, FileLayer& files = systemFileLayer());

// The 81 rows of 146 bytes that replace preview rows in a movie: record row k
// is buffer row 80 - k, columns 0..145, one byte per cell.
std::vector<std::uint8_t> recordRowsFromBuffer(const Stores& s);

}  // namespace orvane
