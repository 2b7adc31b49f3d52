#include "previews/extraction.h"

#include <string>

#include "previews/record_format.h"
#include "shell/tags.h"

namespace orvane {

void intract2(Core& core, std::int32_t fromx, std::int32_t /*tox*/, std::int32_t& numb, const std::uint8_t* rows) {
  Stores& s = core.s;
  if (s.piccount < 0 || s.piccount >= kMaxPreviews) return;  // no preview number left in the store

  const std::int32_t n = ++s.piccount;
  numb = n;
  core.bars.barstate(1);
  core.logline("Extracting " + std::to_string(fromx) + " to memory(" + std::to_string(n) + ")", tag::Extract_3);

  auto& preview = s.pics[static_cast<std::size_t>(n)];
  for (int r = 1; r <= record::kRows; ++r) {
    // Row 81 gets no step of its own: the idle state below shows the bar full.
    if (r % 5 == 0) core.bars.setbar2(r, record::kRows);
    const std::uint8_t* stored = rows + (r - 1) * record::kRowBytes;
    auto& cells = preview[static_cast<std::size_t>(r)];
    for (int c = 1; c <= record::kRowBytes; ++c) cells[static_cast<std::size_t>(c)] = stored[c - 1];
  }

  core.logline("Done", tag::Extract_3);
  core.bars.barstate(2);
  core.host.repaintNow();
}

}  // namespace orvane
