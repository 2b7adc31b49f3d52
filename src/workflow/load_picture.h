// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Loading a replacement picture into the picture buffer: the BMP read, the
// repair and colour check, and the picture-buffer view.
#include <string>

#include "shell/core.h"
#include "shell/error.h"
#include "shell/file_layer.h"
#include "shell/index_picture.h"

namespace orvane {

// Logs "Opening <path>..." under BMPsys, then reads the BMP (readBmp). A
// refused file leaves pictureBuffer as it was and logs "Bmp is corrupt! (<path>)";
// a compressed one first gets the "Can't read" box. An accepted one logs
// "Image loaded, checking for errors..." and goes in through acceptPicture.
// The path is shown as lowerCasePath gives it.
Told loadblimp(Core& core, const std::string& filename, FileLayer& files = systemFileLayer());

// Puts a picture into the picture buffer, repairs and
// checks it with its log lines, marks a picture as loaded and draws it.
void acceptPicture(Core& core, const IndexPicture& picture);

// The path as the log shows it: ASCII letters in lower case, other bytes as
// they are (so UTF-8 stays intact).
std::string lowerCasePath(const std::string& path);

// The last part of a path, after its last / or \\.
std::string fileNameOf(const std::string& path);

}  // namespace orvane
