#pragma once
// Writes the picture buffer over one preview record of the movie, in place.
#include <cstdint>
#include <vector>

#include "shell/core.h"
#include "shell/error.h"
#include "shell/file_layer.h"

namespace orvane {

// Replaces the rows of preview `axe` in moviefile with blimp, after checking
// that a picture was loaded, that the preview exists, that the movie is still
// there and that a preview record still starts at its recorded position. The
// 11826 row bytes go out as one block, are flushed to stable storage and read
// back. Succeeds only after a verified write; every refusal or failure is told
// to the user in a message box (and returned with the box's text), and a
// failed write is undone where possible.
Status begin(Core& core, int axe, FileLayer& files = systemFileLayer());

// The 81 rows of 146 bytes that replace preview rows in a movie: record row k
// is buffer row 80 - k, columns 0..145, one byte per cell.
std::vector<std::uint8_t> recordRowsFromBuffer(const Stores& s);

}  // namespace orvane
