// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writes large benchmark movies quickly: 255 preview records spread over filler
// of a chosen kind, or nothing but records back to back.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
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

// A movie of `bytes` bytes that takes no disk space: a sparse file, zeros but
// for 255 records spread over it. For measuring memory on the largest movies.
inline bool writeSparseMovie(const std::string& path, std::uint64_t bytes, int previews = 255) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = ::ftruncate(fd, static_cast<off_t>(bytes)) == 0;
  const auto rec = benchRecord(7);
  const std::uint64_t spacing = bytes / static_cast<std::uint64_t>(previews);
  for (int k = 0; k < previews && ok; ++k)
    ok = ::pwrite(fd, rec.data(), rec.size(), static_cast<off_t>(spacing / 2 + k * spacing)) ==
         static_cast<ssize_t>(rec.size());
  return ::close(fd) == 0 && ok;
}

}  // namespace orvane::bench
