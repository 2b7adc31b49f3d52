#pragma once
// Colour arithmetic for turning pictures into palette indices: sRGB bytes to
// linear light and back, and OKLab, the perceptual space in which the nearest
// palette colour is chosen (Euclidean distance there tracks what the eye sees
// far better than distance between RGB values).
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

}  // namespace orvane::convert
