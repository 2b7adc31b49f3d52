#pragma once
// The movie scanner: walks every byte position of a movie, records and extracts
// each preview record it finds, then sizes the page bar, repairs and draws.
#include <cstdint>
#include <optional>
#include <string>

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
std::optional<ScanFailure> loadfile3(Core& core, const std::string& filenam);

// Records the n-th found record's position (a) and trailer position (b).
void addthe(Core& core, std::int32_t a, std::int32_t b);

}  // namespace orvane
