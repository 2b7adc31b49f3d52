#pragma once
// The movie scanner: walks every byte position of a movie, records and extracts
// each preview record it finds, then sizes the page bar, repairs and draws.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "previews/chunked_reader.h"
#include "shell/core.h"

namespace orvane {

// Why a movie could not be scanned (nothing was changed).
struct ScanFailure {
  std::string path;
  std::string reason;  // e.g. "No such file or directory"
};

// length / 30 to the nearest integer, a half going to the even neighbour.
std::int32_t scanStep(std::int64_t length);
// The part of a path after its last separator ('/' or '\').
std::string shortName(const std::string& path);

// Scans the movie at `filenam`. A movie that cannot be opened or measured (or is
// too large for 32-bit positions) returns a failure before anything changes:
// no log line, stores and page bar as they were.
//
// Otherwise, in this order: moviefile, piccount and posnum reset; "Trying to
// load <name>, file is <length> bytes long." under Scanner; the walk over
// positions 1..length, reporting setbar(i / 1000, length / 1000) at every
// multiple i of the step, and for each record at position i (in position
// order, overlapping ones included) setbar(i, length), addthe and intract2;
// the page bar's maximum; "Done" under Scanner; repair of the previews;
// Draw_Click. Records beyond the store's 255 are counted, not loaded, and one
// line after "Done" says how many there were.
//
// The movie is read `chunkBytes` at a time; the result does not depend on it.
std::optional<ScanFailure> loadfile3(Core& core, const std::string& filenam,
                                     std::size_t chunkBytes = kDefaultChunkBytes);

// Records the n-th found record's position (a) and trailer position (b). With
// the position table already full (255 entries) the call changes nothing.
void addthe(Core& core, std::int32_t a, std::int32_t b);

}  // namespace orvane
