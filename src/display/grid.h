// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The paged preview grid: twelve previews a page, four columns by three rows.
#include "shell/core.h"

namespace orvane {

// Scroll-bar maximum for a number of previews: pages - 1, and -1 for none.
int pageMaximumFor(int piccount);

// Repaints the picture-buffer view, takes the page from the scroll bar, clears
// the grid and draws previews 12 x page + 1 .. + 12 that exist. No preview
// number below 1 is ever drawn, whatever page the bar reports.
void drawPage(Core& core);
// The scroll bar's value changed (arrows, page area, or a released thumb).
void pageScrolled(Core& core);

}  // namespace orvane
