// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Pictures of palette indices turned into colour pictures, and painted.
#include <cstdint>
#include <span>

#include "shell/core.h"
#include "shell/picture.h"

namespace orvane {

// Preview `which` (0..255) as stored: stored row r at y = r - 1, pixel k at
// x = k; values below 0 or above 255 take the colour of entry 0 or 255.
Picture composePreview(const Stores& s, int which);
// The picture buffer upright: buffer row 80 on top, row 0 at the bottom.
Picture composeBuffer(const Stores& s);
// Rows as a record holds them (81 rows of 146 bytes, top row first, pixels
// from place 2), upright. Fewer bytes than that leave the rest black.
Picture composeRows(const Stores& s, std::span<const std::uint8_t> rows);

// Paints preview `which` with its top-left corner at (isx, isy) of the grid.
// A number outside 0..255 paints nothing.
void drawat(Core& core, int isx, int isy, int which);
// Paints the picture buffer into the picture-buffer view at (0, 0).
void draw1(Core& core);

}  // namespace orvane
