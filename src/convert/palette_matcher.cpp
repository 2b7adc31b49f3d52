// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/palette_matcher.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvane::convert {
namespace {

// The grid: L, a, b from low to low + steps / scale. Colours inside the sRGB
// gamut lie well inside it; the outermost boxes reach to infinity, so that
// even a colour outside lands in a box that holds it.
constexpr float kLow[3] = {-0.02f, -0.26f, -0.34f};
constexpr float kScale[3] = {62.0f, 60.0f, 60.0f};  // boxes per unit
constexpr int kSteps[3] = {64, 34, 34};
constexpr float kInfinity = std::numeric_limits<float>::infinity();
constexpr int kShortList = 4;

inline int boxOf(float v, int axis) {
  const float at = (v - kLow[axis]) * kScale[axis];
  // Compared as floats first, so that no out-of-range value is converted.
  if (!(at >= 1.0f)) return 0;
  if (at >= static_cast<float>(kSteps[axis] - 1)) return kSteps[axis] - 1;
  return static_cast<int>(at);
}

float boxLow(int k, int axis) { return k == 0 ? -kInfinity : kLow[axis] + static_cast<float>(k) / kScale[axis]; }
float boxHigh(int k, int axis) {
  return k == kSteps[axis] - 1 ? kInfinity : kLow[axis] + static_cast<float>(k + 1) / kScale[axis];
}

inline Linear clamped(Linear c) {
  // NaN goes to 0 as well: max/min with the constant first.
  const auto unit = [](float v) { return std::min(1.0f, std::max(0.0f, v)); };
  return {unit(c.r), unit(c.g), unit(c.b)};
}

}  // namespace

PaletteMatcher::PaletteMatcher(std::span<const Rgb8> entries)
    : rgb_(entries.begin(), entries.end()),
      boxes_(static_cast<std::size_t>(kSteps[0] * kSteps[1] * kSteps[2]), kUnset) {
  for (const Rgb8& c : rgb_) {
    linear_.push_back(toLinear(c));
    lab_.push_back(toOkLab(linear_.back()));
  }
}

int PaletteMatcher::nearestByFullSearch(Linear c) const {
  const OkLab x = toOkLab(clamped(c));
  int best = 0;
  float bestD = kInfinity;
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
  const OkLab x = toOkLab(clamped(c));
  const int iL = boxOf(x.L, 0), ia = boxOf(x.a, 1), ib = boxOf(x.b, 2);
  std::uint32_t& start = boxes_[static_cast<std::size_t>((iL * kSteps[1] + ia) * kSteps[2] + ib)];
  if (start == kUnset) start = fillBox(iL, ia, ib);
  const std::uint16_t* list = &lists_[start];
  const int count = std::max<int>(list[0], kShortList);  // short lists are padded to kShortList
  int best = list[1];
  float bestD = okLabDistance2(x, lab_[static_cast<std::size_t>(best)]);
  for (int i = 2; i <= count; ++i) {
    // Chosen without a branch: which entry is nearer is not predictable.
    const float d = okLabDistance2(x, lab_[list[i]]);
    const bool nearer = d < bestD;
    best = nearer ? list[i] : best;
    bestD = nearer ? d : bestD;
  }
  return best;
}

std::uint32_t PaletteMatcher::fillBox(int iL, int ia, int ib) {
  const int k[3] = {iL, ia, ib};
  float lo[3], hi[3];
  for (int axis = 0; axis < 3; ++axis) {
    lo[axis] = boxLow(k[axis], axis);
    hi[axis] = boxHigh(k[axis], axis);
  }
  // An entry can be nearest to some point of the box only if its least
  // distance to the box is within the greatest distance from the box of the
  // entry that is best in that worst case.
  std::vector<float> least(lab_.size());
  float bound = kInfinity;
  for (std::size_t e = 0; e < lab_.size(); ++e) {
    const float p[3] = {lab_[e].L, lab_[e].a, lab_[e].b};
    float near2 = 0, far2 = 0;
    for (int axis = 0; axis < 3; ++axis) {
      const float outside = std::max({lo[axis] - p[axis], p[axis] - hi[axis], 0.0f});
      near2 += outside * outside;
      const float farthest = std::max(p[axis] - lo[axis], hi[axis] - p[axis]);
      far2 += farthest * farthest;
    }
    least[e] = near2;
    bound = std::min(bound, far2);
  }
  const auto start = static_cast<std::uint32_t>(lists_.size());
  lists_.push_back(0);
  for (std::size_t e = 0; e < lab_.size(); ++e) {
    // The slack covers the rounding of these sums; it only lengthens the list.
    if (least[e] <= bound * (1 + 1e-4f) + 1e-9f) {
      lists_.push_back(static_cast<std::uint16_t>(e));
      ++lists_[start];
    }
  }
  // A short list is padded with its last entry, which changes no outcome (a
  // tie keeps the earlier one) and lets every search of it take the same steps.
  while (lists_[start] < kShortList && lists_.size() - start <= kShortList) lists_.push_back(lists_.back());
  return start;
}

}  // namespace orvane::convert
