#include "convert/palette_matcher.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace orvane::convert {
namespace {

constexpr int kSteps = 32;
// A channel value v in 0..1 is first placed on a grid of 4096 (exactly: the
// multiplication by a power of two does not round), then into its cell by a
// table. Cell edges lie on that grid, so every value of a grid step belongs to
// one cell, whose linear-light range is known exactly.
constexpr int kGrid = 4096;

struct Cells {
  std::array<float, kSteps + 1> edge{};       // linear-light cell edges, 0 and 1 at the ends
  std::array<std::uint8_t, kGrid> cellOf{};  // grid step -> cell
};

const Cells& cells() {
  static const Cells c = [] {
    Cells t;
    for (int k = 0; k <= kSteps; ++k)
      t.edge[static_cast<std::size_t>(k)] =
          std::round(srgbToLinear(static_cast<float>(k) / kSteps) * kGrid) / static_cast<float>(kGrid);
    int k = 0;
    for (int i = 0; i < kGrid; ++i) {
      while (k + 1 < kSteps && t.edge[static_cast<std::size_t>(k + 1)] * kGrid <= static_cast<float>(i)) ++k;
      t.cellOf[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(k);
    }
    return t;
  }();
  return c;
}

int cellOf(float v) {
  const int step = std::min(static_cast<int>(v * kGrid), kGrid - 1);
  return cells().cellOf[static_cast<std::size_t>(step)];
}

Linear clamped(Linear c) {
  // NaN goes to 0 as well: max/min with the constant first.
  const auto unit = [](float v) { return std::min(1.0f, std::max(0.0f, v)); };
  return {unit(c.r), unit(c.g), unit(c.b)};
}

// Bounds of L, a, b over every colour of a box of linear RGB: the cone
// responses are positive combinations of the channels, so their range comes
// from the box's two extreme corners; the cube root keeps order; L, a, b are
// then bounded term by term.
struct LabBox {
  float lo[3], hi[3];
};

LabBox labBoxOf(const Linear& low, const Linear& high) {
  float coneLo[3], coneHi[3];
  for (int i = 0; i < 3; ++i) {
    coneLo[i] = std::cbrt(kToLms[i][0] * low.r + kToLms[i][1] * low.g + kToLms[i][2] * low.b);
    coneHi[i] = std::cbrt(kToLms[i][0] * high.r + kToLms[i][1] * high.g + kToLms[i][2] * high.b);
  }
  LabBox box{};
  constexpr float kSlack = 1e-4f;  // covers the rounding of the per-colour computation
  for (int i = 0; i < 3; ++i) {
    float lo = 0, hi = 0;
    for (int j = 0; j < 3; ++j) {
      const float w = kToLab[i][j];
      lo += w * (w >= 0 ? coneLo[j] : coneHi[j]);
      hi += w * (w >= 0 ? coneHi[j] : coneLo[j]);
    }
    box.lo[i] = lo - kSlack;
    box.hi[i] = hi + kSlack;
  }
  return box;
}

}  // namespace

PaletteMatcher::PaletteMatcher(std::span<const Rgb8> entries)
    : rgb_(entries.begin(), entries.end()),
      cells_(static_cast<std::size_t>(kSteps * kSteps * kSteps), kUnset) {
  for (const Rgb8& c : rgb_) {
    linear_.push_back(toLinear(c));
    lab_.push_back(toOkLab(linear_.back()));
  }
}

int PaletteMatcher::nearestByFullSearch(Linear c) const {
  const OkLab x = toOkLab(clamped(c));
  int best = 0;
  float bestD = std::numeric_limits<float>::infinity();
  for (std::size_t e = 0; e < lab_.size(); ++e) {
    const float d = okLabDistance2(x, lab_[e]);
    if (d < bestD) {
      bestD = d;
      best = static_cast<int>(e);
    }
  }
  return best;
}

int PaletteMatcher::nearest(Linear c) {
  if (rgb_.empty()) return 0;
  c = clamped(c);
  const int ri = cellOf(c.r), gi = cellOf(c.g), bi = cellOf(c.b);
  std::uint32_t& start = cells_[static_cast<std::size_t>((ri * kSteps + gi) * kSteps + bi)];
  if (start == kUnset) start = fillCell(ri, gi, bi);
  const std::uint16_t* list = &lists_[start];
  const int count = list[0];
  if (count == 1) return list[1];

  const OkLab x = toOkLab(c);
  int best = list[1];
  float bestD = okLabDistance2(x, lab_[static_cast<std::size_t>(best)]);
  for (int i = 2; i <= count; ++i) {
    const float d = okLabDistance2(x, lab_[list[i]]);
    if (d < bestD) {
      bestD = d;
      best = list[i];
    }
  }
  return best;
}

std::uint32_t PaletteMatcher::fillCell(int ri, int gi, int bi) {
  const auto& edge = cells().edge;
  const auto at = [](int k) { return static_cast<std::size_t>(k); };
  const LabBox box = labBoxOf({edge[at(ri)], edge[at(gi)], edge[at(bi)]},
                              {edge[at(ri + 1)], edge[at(gi + 1)], edge[at(bi + 1)]});

  // An entry can be nearest to some colour of the box only if its least
  // distance to the box is within the greatest distance from the box of the
  // entry that is best in that worst case.
  std::vector<float> least(lab_.size());
  float bound = std::numeric_limits<float>::infinity();
  for (std::size_t e = 0; e < lab_.size(); ++e) {
    const float p[3] = {lab_[e].L, lab_[e].a, lab_[e].b};
    float near2 = 0, far2 = 0;
    for (int i = 0; i < 3; ++i) {
      const float below = box.lo[i] - p[i], above = p[i] - box.hi[i];
      const float outside = std::max({below, above, 0.0f});
      near2 += outside * outside;
      const float farthest = std::max(std::abs(below), std::abs(above));
      far2 += farthest * farthest;
    }
    least[e] = near2;
    bound = std::min(bound, far2);
  }
  const auto start = static_cast<std::uint32_t>(lists_.size());
  lists_.push_back(0);
  for (std::size_t e = 0; e < lab_.size(); ++e) {
    if (least[e] <= bound * (1 + 1e-5f)) {
      lists_.push_back(static_cast<std::uint16_t>(e));
      ++lists_[start];
    }
  }
  return start;
}

}  // namespace orvane::convert
