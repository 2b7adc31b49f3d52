// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The replace road, joined up: the window's "Yes" (begin, then the grid and
// picture view redrawn from what the movie now holds), and the whole road for
// the command line (open the movie, load a picture, replace one preview).
#include <functional>
#include <string>

#include "shell/core.h"
#include "shell/error.h"
#include "shell/file_layer.h"

namespace orvane {

// begin(scene), and after a verified write drawPage, so that the grid, the
// picture view and an export show what the file holds. The log lines are
// exactly begin's.
Told replaceScene(Core& core, int scene, FileLayer& files = systemFileLayer());

// Loads a picture into the picture buffer (loadblimp, or another reader that
// ends in acceptPicture), telling the user what it refuses.
using PictureLoader = std::function<Told(Core& core)>;

// The whole road: the movie opened (loadfile3: interrupted writes settled,
// then the scan), preview n checked, the picture loaded, selpic set to n and
// the preview replaced (begin: journal, lock, verified write). Every refusal
// and failure has been told when this returns it: a movie that cannot be
// opened ("cannot open movie ...") and a preview number it does not hold ("the
// movie holds ...") in a box of their own, the picture's refusal by the loader,
// the write's by begin.
Told replaceRoad(Core& core, const std::string& movie, int n, const PictureLoader& loadPicture,
                 FileLayer& files = systemFileLayer());

}  // namespace orvane
