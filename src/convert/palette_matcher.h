// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The nearest palette entry to a colour, by distance in OKLab, found exactly
// and fast. OKLab space is cut into a grid of small boxes; the first time a
// colour falls into a box, the box gets the short list of entries that can be
// nearest to any point inside it, and from then on a colour is compared with
// that list only (most lists hold one or two entries), so a 144 x 81 picture
// maps in a fraction of a millisecond.
//
// Exact: the result is the entry a comparison with every entry would give,
// the lowest-numbered one when several are equally near.
#include <cstdint>
#include <span>
#include <vector>

#include "convert/colour.h"

namespace orvane::convert {

class PaletteMatcher {
 public:
  // The entries to choose from (at most 256), numbered from 0 in order.
  explicit PaletteMatcher(std::span<const Rgb8> entries);

  int size() const { return static_cast<int>(rgb_.size()); }
  Rgb8 rgb(int entry) const { return rgb_[static_cast<std::size_t>(entry)]; }
  const Linear& linear(int entry) const { return linear_[static_cast<std::size_t>(entry)]; }

  // The entry nearest to c; channels outside 0..1 are clamped first.
  int nearest(Linear c);

  // The same by comparing with every entry: the reference for the above.
  int nearestByFullSearch(Linear c) const;

 private:
  static constexpr std::uint32_t kUnset = 0xFFFFFFFFu;

  // Where the box's list starts in lists_: its length, then the entries.
  std::uint32_t fillBox(int iL, int ia, int ib);

  std::vector<Rgb8> rgb_;
  std::vector<Linear> linear_;
  std::vector<OkLab> lab_;
  std::vector<std::uint32_t> boxes_;  // one per box, kUnset until first used
  std::vector<std::uint16_t> lists_;
};

}  // namespace orvane::convert
