// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/scan_report.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "cli/steps.h"
#include "previews/record_format.h"

namespace orvane::cli {

std::string summaryLine(int previews) { return previewCount(static_cast<std::size_t>(std::max(previews, 0))) + " found"; }

namespace {

int damagedRows(std::ifstream& movie, int position) {
  int damaged = 0;
  for (int r = 0; r < record::kRows; ++r) {
    char prefix[2];
    movie.seekg(static_cast<std::streamoff>(position) - 1 + static_cast<std::streamoff>(r) * record::kRowBytes);
    if (!movie.read(prefix, 2)) {
      movie.clear();
      return -1;
    }
    if (static_cast<std::uint8_t>(prefix[0]) != record::kPrefix0 ||
        static_cast<std::uint8_t>(prefix[1]) != record::kPrefix1)
      ++damaged;
  }
  return damaged;
}

}  // namespace

std::vector<PreviewFacts> previewFacts(const Stores& s) {
  std::ifstream movie(std::filesystem::path(std::u8string(s.moviefile.begin(), s.moviefile.end())),
                      std::ios::binary);
  std::vector<PreviewFacts> facts;
  for (int n = 1; n <= s.piccount && n <= kMaxPreviews; ++n) {
    const int position = s.picpos[static_cast<std::size_t>(n)][1];
    facts.push_back({n, position, movie ? damagedRows(movie, position) : -1});
  }
  return facts;
}

std::string previewsJson(const std::vector<PreviewFacts>& previews) {
  if (previews.empty()) return "[]\n";
  std::string json = "[\n";
  for (std::size_t i = 0; i < previews.size(); ++i) {
    const PreviewFacts& p = previews[i];
    json += "  {\"number\": " + std::to_string(p.number) + ", \"position\": " + std::to_string(p.position) +
            ", \"rows_repaired\": " +
            (p.rowsRepaired < 0 ? std::string("null") : std::to_string(p.rowsRepaired)) + "}" + (i + 1 < previews.size() ? ",\n" : "\n");
  }
  return json + "]\n";
}

}  // namespace orvane::cli
