// SPDX-License-Identifier: GPL-3.0-or-later
#include "workflow/preview_facts.h"

#include <array>
#include <memory>

#include "previews/record_format.h"

namespace orvane {

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

std::vector<PreviewFacts> previewFacts(const Stores& s, FileLayer& files) {
  Result<std::unique_ptr<OpenFile>> movie = files.open(s.moviefile, OpenMode::Read);
  std::vector<PreviewFacts> facts;
  for (int n = 1; n <= s.piccount && n <= kMaxPreviews; ++n) {
    const int position = s.recordPosition(n);
    facts.push_back({n, position, movie ? damagedRows(**movie, position) : -1});
  }
  return facts;
}

}  // namespace orvane
