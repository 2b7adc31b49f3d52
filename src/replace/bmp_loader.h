#pragma once
// Loads a 144 x 81, 8-bit, uncompressed, bottom-up BMP into the picture buffer.
#include <string>

#include "shell/core.h"

namespace orvane {

// Checks the header in order (first failure counts), refuses with the corrupt
// line (and the RLE box for compressed files) leaving blimp as it was, or
// copies the pixels, repairs and draws. True when the picture was loaded.
bool loadblimp(Core& core, const std::string& filename);

}  // namespace orvane
