// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the command line reads picture files: through Qt's image reader, which
// lives in a module loaded the first time a command reads a picture, so that
// the commands that read none start without Qt.
#include "workflow/import_picture.h"

namespace orvane::cli {

// Reads a picture file. When the module cannot be found or loaded, every
// picture is refused with the reason.
PictureDecoder pictureReader();

}  // namespace orvane::cli
