// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the scan found, preview by preview, for a report: where each record
// is and how many of its rows the scan had to repair.
#include <vector>

#include "shell/file_layer.h"
#include "shell/stores.h"

namespace orvane {

struct PreviewFacts {
  int number = 0;        // 1..piccount
  int position = 0;      // one-based position of the record in the movie
  int rowsRepaired = 0;  // rows whose prefix was not 0x00 0x90 in the file; -1 when it could not be read
};

// Facts on every scanned preview. The scan repairs the copies in memory, so
// the rows it repaired are counted in the movie file itself.
std::vector<PreviewFacts> previewFacts(const Stores& s, FileLayer& files = systemFileLayer());

}  // namespace orvane
