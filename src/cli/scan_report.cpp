// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/scan_report.h"

#include <algorithm>

#include "cli/steps.h"

namespace orvane::cli {

std::string summaryLine(int previews) {
  return previewCount(static_cast<std::size_t>(std::max(previews, 0))) + " found";
}

std::string previewsJson(const std::vector<PreviewFacts>& previews) {
  if (previews.empty()) return "[]\n";
  std::string json = "[\n";
  for (std::size_t i = 0; i < previews.size(); ++i) {
    const PreviewFacts& p = previews[i];
    json += "  {\"number\": " + std::to_string(p.number) + ", \"position\": " + std::to_string(p.position) +
            ", \"rows_repaired\": " + (p.rowsRepaired < 0 ? std::string("null") : std::to_string(p.rowsRepaired)) +
            "}" + (i + 1 < previews.size() ? ",\n" : "\n");
  }
  return json + "]\n";
}

}  // namespace orvane::cli
