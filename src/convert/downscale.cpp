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
  std::vector<int> first;         // per part: its first source pixel
  std::vector<int> begin;         // per part: where its weights start (one more entry at the end)
  std::vector<float> weights;     // per source pixel of the part, in order, summing to 1
  int end = 0;                    // one past the last source pixel of any part
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

const std::array<float, 256>& opacityTable() {
  static const std::array<float, 256> table = [] {
    std::array<float, 256> t{};
    for (int a = 0; a < 256; ++a) t[static_cast<std::size_t>(a)] = static_cast<float>(a) / 255.0f;
    return t;
  }();
  return table;
}

}  // namespace

void areaAverage(const SourcePicture& source, const FitPlan& plan, std::span<Linear> canvas) {
  const TargetRect& t = plan.target;
  if (source.width < 1 || source.height < 1 || t.width < 1 || t.height < 1) return;
  const Spans across = spansOf(plan.source.x, plan.source.width, t.width, source.width);
  const Spans down = spansOf(plan.source.y, plan.source.height, t.height, source.height);
  const int top = down.first.front(), bottom = down.end;
  const auto& opacity = opacityTable();

  // Each source row needed, averaged across into the target's columns.
  const auto columns = static_cast<std::size_t>(t.width);
  std::vector<Linear> rows(static_cast<std::size_t>(bottom - top) * columns);
  for (int y = top; y < bottom; ++y) {
    Linear* out = &rows[static_cast<std::size_t>(y - top) * columns];
    for (int i = 0; i < t.width; ++i) {
      const auto ui = static_cast<std::size_t>(i);
      Linear sum;
      const float* w = &across.weights[static_cast<std::size_t>(across.begin[ui])];
      const int n = across.begin[ui + 1] - across.begin[ui];
      for (int k = 0; k < n; ++k) {
        const std::uint8_t* p = source.pixel(across.first[ui] + k, y);
        const float share = w[k] * opacity[p[3]];
        sum.r += share * linearOfByte(p[0]);
        sum.g += share * linearOfByte(p[1]);
        sum.b += share * linearOfByte(p[2]);
      }
      out[i] = sum;
    }
  }
  // Then those rows averaged down into the target's rows.
  for (int o = 0; o < t.height; ++o) {
    const auto uo = static_cast<std::size_t>(o);
    const float* w = &down.weights[static_cast<std::size_t>(down.begin[uo])];
    const int n = down.begin[uo + 1] - down.begin[uo];
    Linear* out = &canvas[static_cast<std::size_t>((t.y + o) * kTargetWidth + t.x)];
    for (int i = 0; i < t.width; ++i) out[i] = Linear{};
    for (int k = 0; k < n; ++k) {
      const Linear* in = &rows[static_cast<std::size_t>(down.first[uo] + k - top) * columns];
      for (int i = 0; i < t.width; ++i) {
        out[i].r += w[k] * in[i].r;
        out[i].g += w[k] * in[i].g;
        out[i].b += w[k] * in[i].b;
      }
    }
  }
}

}  // namespace orvane::convert
