#pragma once
// Writes large benchmark movies quickly: 255 preview records spread over filler
// of a chosen kind, or nothing but records back to back.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "previews/record_format.h"

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
  std::uint64_t state = 0x9E3779B97F4A7C15ull;
  const auto rec = benchRecord(7);
  const std::uint64_t spacing = previews > 0 ? bytes / static_cast<std::uint64_t>(previews) : bytes + 1;
  std::uint64_t written = 0, nextRecord = spacing / 2;
  int placed = 0;
  bool ok = true;
  while (written < bytes && ok) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, bytes - written));
    for (std::size_t i = 0; i < n; ++i) {
      if (filler == Filler::BackToBack) {
        block[i] = rec[(written + i) % rec.size()];
      } else if (filler == Filler::Zero) {
        block[i] = 0;
      } else {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        block[i] = static_cast<std::uint8_t>(state >> 32);
      }
    }
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
