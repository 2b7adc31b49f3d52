// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Choosing a preview by a click on the grid.
#include "shell/core.h"

namespace orvane {

// The cell 1..12 whose 145 x 82 hit area (bounds included) holds (x, y), or 0.
int hitCell(const Stores& s, double x, double y);

// The preview a click at (x, y) selects on page `pageValue`: stores it in selpic
// and returns it, or returns 0 (nothing hit, or no such preview) and changes
// nothing. The caller then shows the replacement dialog.
int selectPreviewAt(Core& core, double x, double y, int pageValue);

}  // namespace orvane
