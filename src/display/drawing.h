// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Pictures of palette indices turned into colour pictures, and painted.
#include "shell/core.h"
#include "shell/index_picture.h"
#include "shell/picture.h"

namespace orvane {

// A picture of palette indices in the colours of the palette.
Picture composePicture(const Stores& s, const IndexPicture& picture);
// Preview `which` (0..255) as stored.
Picture composePreview(const Stores& s, int which);
// The picture buffer.
Picture composeBuffer(const Stores& s);

// Paints preview `which` with its top-left corner at (isx, isy) of the grid.
// A number outside 0..255 paints nothing.
void drawat(Core& core, int isx, int isy, int which);
// Paints the picture buffer into the picture-buffer view at (0, 0).
void draw1(Core& core);

}  // namespace orvane
