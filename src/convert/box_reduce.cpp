// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/box_reduce.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "convert/colour.h"

namespace orvane::convert {
namespace {

struct Tables {
  std::array<float, 256> linear{};
  // The linear value halfway (in sRGB terms) between byte b and b + 1: a
  // linear value rounds to the number of these it reaches.
  std::array<float, 255> halfway{};
  // A first guess of the byte for a linear value, by 1/65536 steps, which the
  // halfway values then correct (near black one step spans several bytes).
  std::vector<std::uint8_t> guess;
};

const Tables& tables() {
  static const Tables t = [] {
    Tables made;
    for (int v = 0; v < 256; ++v)
      made.linear[static_cast<std::size_t>(v)] = srgbToLinear(static_cast<float>(v) / 255.0f);
    for (int v = 0; v < 255; ++v)
      made.halfway[static_cast<std::size_t>(v)] = srgbToLinear((static_cast<float>(v) + 0.5f) / 255.0f);
    made.guess.resize(65537);
    int b = 0;
    for (std::size_t i = 0; i < made.guess.size(); ++i) {
      const float v = static_cast<float>(i) / 65536.0f;
      while (b < 255 && made.halfway[static_cast<std::size_t>(b)] <= v) ++b;
      made.guess[i] = static_cast<std::uint8_t>(b);
    }
    return made;
  }();
  return t;
}

// The sRGB byte nearest to a linear value in 0..1.
std::uint8_t byteOf(float v, const Tables& t) {
  v = std::clamp(v, 0.0f, 1.0f);
  int b = t.guess[static_cast<std::size_t>(v * 65536.0f)];
  while (b < 255 && t.halfway[static_cast<std::size_t>(b)] <= v) ++b;
  while (b > 0 && t.halfway[static_cast<std::size_t>(b - 1)] > v) --b;
  return static_cast<std::uint8_t>(b);
}

}  // namespace

BoxReducer::BoxReducer(int width, int factor)
    : width_(width), factor_(std::max(1, factor)), sums_(static_cast<std::size_t>(outputWidth()) * 4) {}

bool BoxReducer::addRow(const std::uint8_t* rgba, std::span<std::uint8_t> out) {
  const Tables& t = tables();
  float* sum = sums_.data();
  for (int x = 0; x < width_; x += factor_, sum += 4) {
    const std::uint8_t* p = rgba + static_cast<std::ptrdiff_t>(x) * 4;
    const int n = std::min(factor_, width_ - x);
    for (int k = 0; k < n; ++k, p += 4) {
      const float a = static_cast<float>(p[3]);
      sum[0] += a * t.linear[p[0]];
      sum[1] += a * t.linear[p[1]];
      sum[2] += a * t.linear[p[2]];
      sum[3] += a;
    }
  }
  if (++rowsTaken_ < factor_) return false;
  writeRow(out);
  return true;
}

bool BoxReducer::finish(std::span<std::uint8_t> out) {
  if (rowsTaken_ == 0) return false;
  writeRow(out);
  return true;
}

void BoxReducer::writeRow(std::span<std::uint8_t> out) {
  const Tables& t = tables();
  float* sum = sums_.data();
  for (int x = 0, i = 0; x < width_; x += factor_, ++i, sum += 4) {
    const float pixels = static_cast<float>(std::min(factor_, width_ - x) * rowsTaken_);
    std::uint8_t* o = &out[static_cast<std::size_t>(i) * 4];
    if (sum[3] > 0) {
      const float inverse = 1.0f / sum[3];
      o[0] = byteOf(sum[0] * inverse, t);
      o[1] = byteOf(sum[1] * inverse, t);
      o[2] = byteOf(sum[2] * inverse, t);
    } else {
      o[0] = o[1] = o[2] = 0;
    }
    o[3] = static_cast<std::uint8_t>(std::lround(sum[3] / pixels));
    sum[0] = sum[1] = sum[2] = sum[3] = 0;
  }
  rowsTaken_ = 0;
}

}  // namespace orvane::convert
