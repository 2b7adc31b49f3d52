// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What `scan` prints after the log lines: a summary for people, or a JSON
// document for scripts.
#include <string>
#include <vector>

#include "workflow/preview_facts.h"

namespace orvane::cli {

// "1 preview found", "0 previews found", "16 previews found".
std::string summaryLine(int previews);

// A JSON array with one object per preview:
// [{"number": 1, "position": 101, "rows_repaired": 0}, ...], one object a line;
// rows_repaired is null where the movie could not be read back.
std::string previewsJson(const std::vector<PreviewFacts>& previews);

}  // namespace orvane::cli
