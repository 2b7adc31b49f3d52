// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/colour.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace orvane::convert {
namespace {

const std::array<float, 256>& byteTable() {
  static const std::array<float, 256> table = [] {
    std::array<float, 256> t{};
    for (int v = 0; v < 256; ++v) t[static_cast<std::size_t>(v)] = srgbToLinear(static_cast<float>(v) / 255.0f);
    return t;
  }();
  return table;
}

}  // namespace

float srgbToLinear(float encoded) {
  const double e = encoded;
  return static_cast<float>(e <= 0.04045 ? e / 12.92 : std::pow((e + 0.055) / 1.055, 2.4));
}

float linearToSrgb(float linear) {
  const double l = linear;
  return static_cast<float>(l <= 0.0031308 ? l * 12.92 : 1.055 * std::pow(l, 1.0 / 2.4) - 0.055);
}

float linearOfByte(std::uint8_t v) { return byteTable()[v]; }

Linear toLinear(Rgb8 c) { return {linearOfByte(c.r), linearOfByte(c.g), linearOfByte(c.b)}; }

Rgb8 toRgb8(const Linear& c) {
  const auto byte = [](float v) {
    return static_cast<std::uint8_t>(
        std::lround(std::clamp(linearToSrgb(std::clamp(v, 0.0f, 1.0f)), 0.0f, 1.0f) * 255.0f));
  };
  return {byte(c.r), byte(c.g), byte(c.b)};
}

float okLabDistance(const OkLab& x, const OkLab& y) { return std::sqrt(okLabDistance2(x, y)); }

}  // namespace orvane::convert
