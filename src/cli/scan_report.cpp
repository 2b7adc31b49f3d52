// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/scan_report.h"

#include <algorithm>
#include <array>
#include <memory>

#include "cli/steps.h"
#include "previews/record_format.h"
#include "shell/file_layer.h"

namespace orvane::cli {

std::string summaryLine(int previews) {
  return previewCount(static_cast<std::size_t>(std::max(previews, 0))) + " found";
}

namespace {

int damagedRows(OpenFile& movie, int position) {
  int damaged = 0;
  for (int r = 0; r < record::kRows; ++r) {
    std::array<std::uint8_t, 2> prefix{};
    const std::int64_t offset = std::int64_t{position} - 1 + std::int64_t{r} * record::kRowBytes;
    if (offset < 0) return -1;
    const Result<std::size_t> read = movie.readAt(static_cast<std::uint64_t>(offset), prefix);
    if (!read || *read < prefix.size()) return -1;
    if (prefix[0] != record::kPrefix0 || prefix[1] != record::kPrefix1) ++damaged;
  }
  return damaged;
}

}  // namespace

std::vector<PreviewFacts> previewFacts(const Stores& s) {
  Result<std::unique_ptr<OpenFile>> movie = systemFileLayer().open(s.moviefile, OpenMode::Read);
  std::vector<PreviewFacts> facts;
  for (int n = 1; n <= s.piccount && n <= kMaxPreviews; ++n) {
    const int position = s.previewPlaces[static_cast<std::size_t>(n)][1];
    facts.push_back({n, position, movie ? damagedRows(**movie, position) : -1});
  }
  return facts;
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
