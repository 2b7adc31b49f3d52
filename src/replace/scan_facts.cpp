// SPDX-License-Identifier: GPL-3.0-or-later
#include "replace/scan_facts.h"

#include <span>

#include "previews/record_format.h"
#include "shell/checksum.h"

namespace orvane {

void noteOwnWrite(Stores& s, const std::string& movie, const FileIdentity& before, const FileIdentity& after,
                  const journal::WriteEntry* written) {
  if (movie != s.moviefile) return;
  if (s.scannedMovie == before) s.scannedMovie = after;
  if (!written) return;
  for (const auto& scene : written->scenes) {
    if (scene.after.size() != static_cast<std::size_t>(record::kTrailerOffset)) continue;
    const std::uint32_t sum = crc32(std::span(record::kTrailer), crc32(scene.after));
    for (int n = 1; n <= s.piccount && n <= kMaxPreviews; ++n) {
      if (static_cast<std::uint64_t>(s.recordPosition(n)) != scene.offset + 1) continue;
      readRecordRows(scene.after, s.preview(n));
      s.recordChecksum(n) = sum;
    }
  }
}

}  // namespace orvane
