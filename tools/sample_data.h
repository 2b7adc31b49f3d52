// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Deterministic bytes for the movies and files Orvane makes for itself: the
// tests', the fuzz seeds', the benchmark's and the demo movie's. One generator
// everywhere, so that a seed gives the same bytes on every platform and with
// every standard library (the standard distributions promise neither).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace orvane::sample {

using Bytes = std::vector<std::uint8_t>;

// xorshift32: small, fast and the same everywhere. Also a uniform random bit
// generator for the standard distributions, where a test needs one (those give
// the same numbers only with the same standard library).
class Rng {
 public:
  using result_type = std::uint32_t;
  explicit Rng(std::uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}

  static constexpr result_type min() { return 1; }  // xorshift never gives 0
  static constexpr result_type max() { return 0xFFFFFFFFu; }
  result_type operator()() { return next(); }

  std::uint32_t next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  // 0 .. n - 1, for n > 0.
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }

 private:
  std::uint32_t state_;
};

// Fills `out` with pseudo-random bytes of any value.
inline void randomBytes(Rng& rng, std::span<std::uint8_t> out) {
  std::size_t i = 0;
  for (; i + 4 <= out.size(); i += 4) {
    const std::uint32_t v = rng.next();
    for (std::size_t k = 0; k < 4; ++k) out[i + k] = static_cast<std::uint8_t>(v >> (8 * k));
  }
  for (; i < out.size(); ++i) out[i] = static_cast<std::uint8_t>(rng.next() >> 24);
}

// `n` pseudo-random bytes 1..255: without a 0x00 no row prefix (00 90) and no
// record trailer (01 00 03) can occur inside them.
inline Bytes filler(std::size_t n, std::uint32_t seed = 1) {
  Rng rng(seed * 2654435761u + 1);
  Bytes out(n);
  for (auto& b : out) b = static_cast<std::uint8_t>(1 + (rng.next() >> 8) % 255);
  return out;
}

// Copies `what` into `movie` at `offset`, growing the movie with 0x55 bytes
// where it is too short.
inline void put(Bytes& movie, std::size_t offset, std::span<const std::uint8_t> what) {
  if (movie.size() < offset + what.size()) movie.resize(offset + what.size(), 0x55);
  std::copy(what.begin(), what.end(), movie.begin() + static_cast<std::ptrdiff_t>(offset));
}

}  // namespace orvane::sample
