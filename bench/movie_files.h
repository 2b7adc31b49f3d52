#pragma once
// Writes large benchmark movies quickly: 255 preview records spread over filler
// of a chosen kind, or nothing but records back to back.
#include <cstdint>
#include <algorithm>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "previews/record_format.h"
#include "sample_data.h"

namespace orvane::bench {

enum class Filler { Random, Zero, BackToBack };

inline const char* fillerName(Filler f) {
  return f == Filler::Random ? "random filler" : f == Filler::Zero ? "zero filler" : "back-to-back records";
}

inline std::vector<std::uint8_t> benchRecord(int seed) {
  return record::buildRecord([seed](int x, int y) { return (x + y + seed) % 151; });
}

// Writes `bytes` bytes; returns false on a write error.
inline bool writeMovie(const std::string& path, std::uint64_t bytes, Filler filler, int previews = 255) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  constexpr std::size_t kBlock = 1 << 20;
  std::vector<std::uint8_t> block(kBlock);
  sample::Rng rng(0x9E3779B9u);
  const auto rec = benchRecord(7);
  const std::uint64_t spacing = previews > 0 ? bytes / static_cast<std::uint64_t>(previews) : bytes + 1;
  std::uint64_t written = 0, nextRecord = spacing / 2;
  int placed = 0;
  bool ok = true;
  while (written < bytes && ok) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, bytes - written));
    if (filler == Filler::Random)
      sample::randomBytes(rng, std::span(block).first(n));
    else if (filler == Filler::Zero)
      std::fill_n(block.begin(), n, std::uint8_t{0});
    else
      for (std::size_t i = 0; i < n; ++i) block[i] = rec[(written + i) % rec.size()];
    // Plant the spread records that start inside this block (they may run on).
    if (filler != Filler::BackToBack) {
      while (placed < previews && nextRecord < written + n) {
        for (std::size_t j = 0; j < rec.size(); ++j) {
          const std::uint64_t at = nextRecord + j;
          if (at >= written && at < written + n) block[at - written] = rec[j];
        }
        if (nextRecord + rec.size() <= written + n) {
          nextRecord += spacing;
          ++placed;
        } else {
          break;  // finish the record in the next block
        }
      }
    }
    ok = std::fwrite(block.data(), 1, n, f) == n;
    written += n;
  }
  return std::fclose(f) == 0 && ok;
}

}  // namespace orvane::bench
