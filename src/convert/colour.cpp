#include "convert/colour.h"

#include <algorithm>
#include <array>
#include <bit>
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

// The cube root, the costly step of OKLab, by table: x = (1 + f) * 2^(3q + r)
// with r in 0..2 has the cube root cbrt((1 + f) * 2^r) * 2^q, and the first
// factor is read from one of three tables of 256 steps over f, interpolated
// (relative error below 1e-6). Values below 1e-30 count as 0.
struct CubeRoots {
  std::array<std::array<float, 257>, 3> table{};
  CubeRoots() {
    for (int r = 0; r < 3; ++r)
      for (int i = 0; i <= 256; ++i)
        table[static_cast<std::size_t>(r)][static_cast<std::size_t>(i)] =
            static_cast<float>(std::cbrt((1.0 + i / 256.0) * (1 << r)));
  }
};

float cubeRoot(float x) {
  static const CubeRoots roots;
  if (!(x >= 1e-30f)) return 0.0f;
  const auto bits = std::bit_cast<std::uint32_t>(x);
  const int e = static_cast<int>(bits >> 23) - 127 + 384;  // made positive for the division
  const int q = e / 3 - 128, r = e % 3;
  const std::uint32_t fraction = bits & 0x7FFFFFu;
  const auto& t = roots.table[static_cast<std::size_t>(r)];
  const std::size_t i = fraction >> 15;
  const float within = static_cast<float>(fraction & 0x7FFFu) * (1.0f / 32768.0f);
  const float root = t[i] + within * (t[i + 1] - t[i]);
  return root * std::bit_cast<float>(static_cast<std::uint32_t>(q + 127) << 23);
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
    return static_cast<std::uint8_t>(std::lround(std::clamp(linearToSrgb(std::clamp(v, 0.0f, 1.0f)), 0.0f, 1.0f) * 255.0f));
  };
  return {byte(c.r), byte(c.g), byte(c.b)};
}

OkLab toOkLab(const Linear& c) {
  float cone[3];
  for (int i = 0; i < 3; ++i) cone[i] = cubeRoot(kToLms[i][0] * c.r + kToLms[i][1] * c.g + kToLms[i][2] * c.b);
  float lab[3];
  for (int i = 0; i < 3; ++i) lab[i] = kToLab[i][0] * cone[0] + kToLab[i][1] * cone[1] + kToLab[i][2] * cone[2];
  return {lab[0], lab[1], lab[2]};
}

float okLabDistance(const OkLab& x, const OkLab& y) { return std::sqrt(okLabDistance2(x, y)); }

}  // namespace orvane::convert
