#pragma once
// Loads a 144 x 81, 8-bit, uncompressed, bottom-up BMP into the picture buffer.
#include <string>

#include "shell/file_layer.h"
#include "shell/core.h"

namespace orvane {

// Checks the header fields in order (the first failure counts): "BM", bfSize
// equal to the file length, 144 x 81, 8 bits per pixel, no compression (a
// compressed file gets the "Can't read" box first), and a pixel area that lies
// inside the file. A refused file gets the corrupt line and leaves blimp as it
// was. An accepted one has its pixels copied into blimp, is repaired and drawn,
// and marks a picture as loaded. True when the picture was loaded.
bool loadblimp(Core& core, const std::string& filename, FileLayer& files = systemFileLayer());

// The path as the log shows it: ASCII letters in lower case, other bytes as
// they are (so UTF-8 stays intact).
std::string lowerCasePath(const std::string& path);

}  // namespace orvane
