// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A composed 144 x 81 picture, ready to be copied onto a picture box in one step.
#include <array>
#include <cstdint>

namespace orvane {

inline constexpr int kPictureWidth = 144;
inline constexpr int kPictureHeight = 81;

struct Picture {
  // Row-major, top line first; each pixel 0xFFRRGGBB (opaque, red in bits 16..23).
  std::array<std::uint32_t, kPictureWidth * kPictureHeight> argb{};

  std::uint32_t at(int x, int y) const { return argb[static_cast<std::size_t>(y * kPictureWidth + x)]; }
  std::uint32_t& at(int x, int y) { return argb[static_cast<std::size_t>(y * kPictureWidth + x)]; }
};

}  // namespace orvane
