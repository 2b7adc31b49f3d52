// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What `scan` prints after the log lines: a summary for people, or a JSON
// document for scripts.
#include <string>
#include <vector>

#include "shell/stores.h"

namespace orvane::cli {

// "1 preview found", "0 previews found", "16 previews found".
std::string summaryLine(int previews);

struct PreviewFacts {
  int number = 0;        // 1..piccount
  int position = 0;      // one-based position of the record in the movie
  int rowsRepaired = 0;  // rows whose prefix was not 0x00 0x90 in the file; -1 when it could not be read
};

// Facts on every scanned preview. The scan repairs the copies in memory, so
// the rows it repaired are counted in the movie file itself.
std::vector<PreviewFacts> previewFacts(const Stores& s);

// A JSON array with one object per preview:
// [{"number": 1, "position": 101, "rows_repaired": 0}, ...], one object a line;
// rows_repaired is null where the movie could not be read back.
std::string previewsJson(const std::vector<PreviewFacts>& previews);

}  // namespace orvane::cli
