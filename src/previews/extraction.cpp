// SPDX-License-Identifier: GPL-3.0-or-later
#include "previews/extraction.h"

#include <span>
#include <string>

#include "previews/record_format.h"
#include "shell/tags.h"

namespace orvane {

std::int32_t extractPreview(Core& core, std::int32_t fromPosition, const std::uint8_t* rows) {
  Stores& s = core.s;
  if (s.piccount < 0 || s.piccount >= kMaxPreviews) return 0;  // no preview number left in the store

  const std::int32_t n = ++s.piccount;
  core.bars.barstate(kBusy);
  core.logline("Extracting " + std::to_string(fromPosition) + " to memory(" + std::to_string(n) + ")", tag::Extract_3);

  for (int y = 0; y < record::kRows; ++y) {
    // Steps at rows 5, 10, ..., 80 of 81 counted from one; the last row gets
    // none of its own: the idle state below shows the bar full.
    if ((y + 1) % 5 == 0) core.bars.setbar2(y + 1, record::kRows);
    const std::span<const std::uint8_t> stored(rows + y * record::kRowBytes, record::kRowBytes);
    s.preview(n).readRow(y, stored.first<kStoredRowBytes>());
  }

  core.logline("Done", tag::Extract_3);
  core.bars.barstate(kIdle);
  core.host.repaintNow();
  return n;
}

}  // namespace orvane
