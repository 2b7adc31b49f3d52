// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The movie scanner's walk: every byte position of a movie, each preview record
// found recorded and extracted. What follows the walk (the page bar, the
// repair, the first page) is the caller's.
#include <cstddef>
#include <cstdint>
#include <string>

#include "previews/chunked_reader.h"
#include "shell/core.h"
#include "shell/error.h"
#include "shell/file_layer.h"

namespace orvane {

// What the walk leaves for the lines after it.
struct WalkSummary {
  std::int64_t notLoaded = 0;  // records found beyond the store's 255
  Status readOutcome;          // fine, or a read that failed part-way
  std::int64_t readUpTo = 0;   // bytes read before it
};

// length / 30 to the nearest integer, a half going to the even neighbour.
std::int32_t scanStep(std::int64_t length);
// The part of a path after its last separator ('/' or '\').
std::string shortName(const std::string& path);

// Walks the movie at `moviePath`. A movie that cannot be opened or measured (or is
// too large for 32-bit positions) returns an error before anything changes:
// no log line, stores as they were.
//
// Otherwise, in this order: moviefile, piccount and posnum reset, the movie's
// identity kept and the scan counted; "Trying to
// load <name>, file is <length> bytes long." under Scanner; the walk over
// positions 1..length, reporting setbar(i / 1000, length / 1000) at every
// multiple i of the step, and for each record at position i (in position
// order, overlapping ones included) setbar(i, length), recordFoundPreview and extractPreview.
// Records beyond the store's 255 are counted, not loaded. Each loaded record's
// checksum is kept beside its position.
//
// How the movie is read and searched (`tuning`: chunk size, search kernel)
// changes nothing of the above.
Result<WalkSummary> walkMovie(Core& core, const std::string& moviePath, const ScanTuning& tuning = {},
                              FileLayer& files = systemFileLayer());

// "Done" under Scanner, then a line for records not loaded and one for a read
// that failed part-way, where there were any.
void reportWalkEnd(Core& core, const WalkSummary& walk);

// Records the position (a) of the next record found. With
// the position table already full (255 entries) the call changes nothing.
void recordFoundPreview(Core& core, std::int32_t a);

}  // namespace orvane
