// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Colour arithmetic for turning pictures into palette indices: sRGB bytes to
// linear light and back, and OKLab, the perceptual space in which the nearest
// palette colour is chosen (Euclidean distance there tracks what the eye sees
// far better than distance between RGB values).
#include <bit>
#include <cstdint>

namespace orvane::convert {

// An 8-bit sRGB colour, as stored in files and in the palette.
struct Rgb8 {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb8&, const Rgb8&) = default;
};

// Linear-light RGB, each channel 0..1 for colours inside the sRGB gamut.
struct Linear {
  float r = 0, g = 0, b = 0;
};

struct OkLab {
  float L = 0, a = 0, b = 0;
};

// The sRGB transfer function and its inverse, on 0..1.
float srgbToLinear(float encoded);
float linearToSrgb(float linear);

// Linear value of an 8-bit sRGB channel (a table lookup).
float linearOfByte(std::uint8_t v);
Linear toLinear(Rgb8 c);
// Rounded to the nearest byte, out-of-range channels clamped.
Rgb8 toRgb8(const Linear& c);

// The cube root of x >= 0, the costly step of OKLab, by table: x = (1 + f) *
// 2^(3q + r) with r in 0..2 has the cube root cbrt((1 + f) * 2^r) * 2^q, and
// the first factor is read from one of three tables of 256 steps over f,
// interpolated (relative error below 1e-6). Values below 1e-30 count as 0.
// Both are defined below, inline: they run once or more for every pixel.
float cubeRoot(float x);
OkLab toOkLab(const Linear& c);
// Squared Euclidean distance in OKLab, and the distance itself.
inline float okLabDistance2(const OkLab& x, const OkLab& y) {
  const float dL = x.L - y.L, da = x.a - y.a, db = x.b - y.b;
  return dL * dL + da * da + db * db;
}
float okLabDistance(const OkLab& x, const OkLab& y);

// The linear-sRGB to cone-response (LMS) step of OKLab, and the step from the
// cube roots of the cone responses to L, a, b; exposed for the palette search,
// which bounds whole boxes of colours through them.
inline constexpr float kToLms[3][3] = {{0.4122214708f, 0.5363325363f, 0.0514459929f},
                                       {0.2119034982f, 0.6806995451f, 0.1073969566f},
                                       {0.0883024619f, 0.2817188376f, 0.6299787005f}};
inline constexpr float kToLab[3][3] = {{0.2104542553f, 0.7936177850f, -0.0040720468f},
                                       {1.9779984951f, -2.4285922050f, 0.4505937099f},
                                       {0.0259040371f, 0.7827717662f, -0.8086757660f}};

namespace detail {

// Cube roots of (1 + i / 256) * 2^r, r = 0..2, i = 0..256, computed while
// compiling (Newton's method in double precision).
constexpr double cubeRootNewton(double v) {
  double y = v < 2 ? 1.1 : 1.4;
  for (int step = 0; step < 40; ++step) y -= (y * y * y - v) / (3 * y * y);
  return y;
}
struct CubeRootTable {
  float at[3][257]{};
  constexpr CubeRootTable() {
    for (int r = 0; r < 3; ++r)
      for (int i = 0; i <= 256; ++i) at[r][i] = static_cast<float>(cubeRootNewton((1.0 + i / 256.0) * (1 << r)));
  }
};
inline constexpr CubeRootTable kCubeRoots{};

}  // namespace detail

inline float cubeRoot(float x) {
  if (!(x >= 1e-30f)) return 0.0f;
  const auto bits = std::bit_cast<std::uint32_t>(x);
  const int e = static_cast<int>(bits >> 23) - 127 + 384;  // made positive for the division
  const int q = e / 3 - 128, r = e % 3;
  const std::uint32_t fraction = bits & 0x7FFFFFu;
  const float* t = detail::kCubeRoots.at[r];
  const std::uint32_t i = fraction >> 15;
  const float within = static_cast<float>(fraction & 0x7FFFu) * (1.0f / 32768.0f);
  return (t[i] + within * (t[i + 1] - t[i])) * std::bit_cast<float>(static_cast<std::uint32_t>(q + 127) << 23);
}

inline OkLab toOkLab(const Linear& c) {
  float cone[3];
  for (int i = 0; i < 3; ++i) cone[i] = cubeRoot(kToLms[i][0] * c.r + kToLms[i][1] * c.g + kToLms[i][2] * c.b);
  float lab[3];
  for (int i = 0; i < 3; ++i) lab[i] = kToLab[i][0] * cone[0] + kToLab[i][1] * cone[1] + kToLab[i][2] * cone[2];
  return {lab[0], lab[1], lab[2]};
}

}  // namespace orvane::convert
