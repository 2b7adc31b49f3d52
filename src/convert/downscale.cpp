// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/downscale.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace orvane::convert {
namespace {

// The source pixels under each of `count` equal parts of [start, start + length),
// with the share of the part each one covers.
struct Spans {
  std::vector<int> first;      // per part: its first source pixel
  std::vector<int> begin;      // per part: where its weights start (one more entry at the end)
  std::vector<float> weights;  // per source pixel of the part, in order, summing to 1
  int end = 0;                 // one past the last source pixel of any part
};

Spans spansOf(double start, double length, int count, int limit) {
  Spans s;
  const double step = length / count;
  for (int i = 0; i < count; ++i) {
    const double a = start + i * step, b = start + (i + 1) * step;
    const int first = std::clamp(static_cast<int>(std::floor(a)), 0, limit - 1);
    const int last = std::clamp(static_cast<int>(std::ceil(b)) - 1, first, limit - 1);
    s.first.push_back(first);
    s.end = std::max(s.end, last + 1);
    s.begin.push_back(static_cast<int>(s.weights.size()));
    double total = 0;
    const std::size_t from = s.weights.size();
    for (int j = first; j <= last; ++j) {
      const double covered = std::max(0.0, std::min(b, j + 1.0) - std::max(a, static_cast<double>(j)));
      s.weights.push_back(static_cast<float>(covered));
      total += covered;
    }
    // Normalised by what was covered, so the edges of a rounded plan stay unbiased.
    for (std::size_t k = from; k < s.weights.size(); ++k)
      s.weights[k] = total > 0 ? static_cast<float>(s.weights[k] / total) : 1.0f / static_cast<float>(last - first + 1);
  }
  s.begin.push_back(static_cast<int>(s.weights.size()));
  return s;
}

// The byte-to-linear and byte-to-opacity tables side by side, read inline by
// the averaging loop (no call per pixel).
struct ByteTables {
  std::array<float, 256> linear{}, opacity{};
};

const ByteTables& byteTables() {
  static const ByteTables tables = [] {
    ByteTables t;
    for (int v = 0; v < 256; ++v) {
      t.linear[static_cast<std::size_t>(v)] = linearOfByte(static_cast<std::uint8_t>(v));
      t.opacity[static_cast<std::size_t>(v)] = static_cast<float>(v) / 255.0f;
    }
    return t;
  }();
  return tables;
}

// One source row averaged across into the target's columns, in linear light,
// each pixel weighted by its opacity (so transparency goes over black).
void averageAcross(const std::uint8_t* row, const Spans& across, int columns, const ByteTables& tables, Linear* out) {
  const float* linear = tables.linear.data();
  const float* opacity = tables.opacity.data();
  for (int i = 0; i < columns; ++i) {
    const auto ui = static_cast<std::size_t>(i);
    const float* w = &across.weights[static_cast<std::size_t>(across.begin[ui])];
    const int n = across.begin[ui + 1] - across.begin[ui];
    const std::uint8_t* p = row + static_cast<std::ptrdiff_t>(across.first[ui]) * 4;
    float r = 0, g = 0, b = 0;
    for (int k = 0; k < n; ++k, p += 4) {
      const float share = w[k] * opacity[p[3]];
      r += share * linear[p[0]];
      g += share * linear[p[1]];
      b += share * linear[p[2]];
    }
    out[i] = Linear{r, g, b};
  }
}

}  // namespace

void areaAverage(const SourcePicture& source, const FitPlan& plan, std::span<Linear> canvas) {
  const TargetRect& t = plan.target;
  if (source.width < 1 || source.height < 1 || t.width < 1 || t.height < 1) return;
  const Spans across = spansOf(plan.source.x, plan.source.width, t.width, source.width);
  const Spans down = spansOf(plan.source.y, plan.source.height, t.height, source.height);
  const ByteTables& tables = byteTables();

  const auto targetRow = [&](int o) { return &canvas[static_cast<std::size_t>((t.y + o) * kTargetWidth + t.x)]; };
  for (int o = 0; o < t.height; ++o) std::fill_n(targetRow(o), t.width, Linear{});

  // One pass down the source: each row needed is averaged across once, then
  // added into every target row it lies under (one, or two where a target
  // row's edge falls inside it) with its share of that row.
  std::vector<Linear> across_row(static_cast<std::size_t>(t.width));
  int firstOpen = 0;  // the first target row not yet complete
  for (int y = down.first.front(); y < down.end; ++y) {
    while (firstOpen < t.height &&
           down.first[static_cast<std::size_t>(firstOpen)] + (down.begin[static_cast<std::size_t>(firstOpen) + 1] -
                                                              down.begin[static_cast<std::size_t>(firstOpen)]) <=
               y)
      ++firstOpen;
    if (firstOpen == t.height || down.first[static_cast<std::size_t>(firstOpen)] > y) continue;
    averageAcross(source.pixel(0, y), across, t.width, tables, across_row.data());
    for (int o = firstOpen; o < t.height && down.first[static_cast<std::size_t>(o)] <= y; ++o) {
      const auto uo = static_cast<std::size_t>(o);
      const int k = y - down.first[uo];
      if (k >= down.begin[uo + 1] - down.begin[uo]) continue;
      const float w = down.weights[static_cast<std::size_t>(down.begin[uo] + k)];
      Linear* out = targetRow(o);
      for (int i = 0; i < t.width; ++i) {
        out[i].r += w * across_row[static_cast<std::size_t>(i)].r;
        out[i].g += w * across_row[static_cast<std::size_t>(i)].g;
        out[i].b += w * across_row[static_cast<std::size_t>(i)].b;
      }
    }
  }
}

}  // namespace orvane::convert
