// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <random>

#include "convert/colour.h"
#include "convert/palette_matcher.h"
#include "sample_data.h"
#include "support/picture_fixture.h"

namespace orvane::convert {
namespace {

void expectLab(Rgb8 c, float L, float a, float b) {
  const OkLab lab = toOkLab(toLinear(c));
  EXPECT_NEAR(lab.L, L, 2e-4) << int(c.r) << "," << int(c.g) << "," << int(c.b);
  EXPECT_NEAR(lab.a, a, 2e-4) << int(c.r) << "," << int(c.g) << "," << int(c.b);
  EXPECT_NEAR(lab.b, b, 2e-4) << int(c.r) << "," << int(c.g) << "," << int(c.b);
}

TEST(Colour, SrgbAndOkLabMatchPublishedValues) {
  // The sRGB transfer function: its linear segment, its knee, mid grey.
  EXPECT_NEAR(srgbToLinear(0.5f), 0.214041f, 1e-6);
  EXPECT_NEAR(srgbToLinear(0.04045f), 0.0031308f, 1e-7);
  EXPECT_NEAR(linearToSrgb(0.214041f), 0.5f, 1e-6);
  EXPECT_EQ(toRgb8(toLinear({12, 128, 250})), (Rgb8{12, 128, 250}));

  // OKLab of the sRGB primaries and white, as published with the space.
  expectLab({255, 255, 255}, 1.0f, 0.0f, 0.0f);
  expectLab({255, 0, 0}, 0.627955f, 0.224863f, 0.125846f);
  expectLab({0, 255, 0}, 0.866440f, -0.233888f, 0.179498f);
  expectLab({0, 0, 255}, 0.452014f, -0.032457f, -0.311528f);
  expectLab({0, 0, 0}, 0.0f, 0.0f, 0.0f);

  // Distance: Euclidean in OKLab, so black to white is exactly 1.
  EXPECT_NEAR(okLabDistance(toOkLab(toLinear({0, 0, 0})), toOkLab(toLinear({255, 255, 255}))), 1.0f, 1e-4);
}

// The fast search must agree with the full one everywhere: inside the gamut,
// at its edges and beyond them (where colours are clamped), and on ties.
TEST(PaletteMatcher, AgreesWithTheFullSearchEverywhere) {
  sample::Rng rng(7);
  std::uniform_real_distribution<float> wide(-0.2f, 1.2f);
  std::vector<Rgb8> random(151);
  for (auto& c : random)
    c = {static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng())};
  random[90] = random[10];  // a tie: the lower entry wins
  for (const auto& colours : {testing::shippedPictureColours(), random}) {
    PaletteMatcher matcher(colours);
    for (int i = 0; i < 200000; ++i) {
      const Linear c = i % 4 == 0 ? toLinear({static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()),
                                              static_cast<std::uint8_t>(rng())})
                                  : Linear{wide(rng), wide(rng), wide(rng)};
      ASSERT_EQ(matcher.nearest(c), matcher.nearestByFullSearch(c)) << c.r << " " << c.g << " " << c.b;
    }
    for (std::size_t e = 0; e < colours.size(); ++e)
      EXPECT_EQ(colours[static_cast<std::size_t>(matcher.nearest(toLinear(colours[e])))], colours[e]);
  }
}

}  // namespace
}  // namespace orvane::convert
