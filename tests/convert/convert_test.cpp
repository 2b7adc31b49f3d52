// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>


#include "convert/box_reduce.h"
#include "convert/convert.h"
#include "support/picture_fixture.h"
#include "sample_data.h"

namespace orvane::convert {
namespace {

using testing::makePicture;
using testing::opaque;
using testing::Rgba;

struct ConvertTest : ::testing::Test {
  std::vector<Rgb8> colours = testing::shippedPictureColours();
  PaletteMatcher matcher{colours};

  IndexPicture convert(const SourcePicture& source, FitMode fit, Dither dither) {
    auto done = convertPicture(source, matcher, {fit, dither});
    EXPECT_TRUE(done.ok());
    return done ? done->picture : IndexPicture{};
  }
  Rgb8 colourAt(const IndexPicture& p, int x, int y) { return colours[p.at(x, y)]; }
};

TEST_F(ConvertTest, IndicesNeverExceedTheLastPictureColour) {
  // White, and saturated colours far outside what the palette holds, where
  // the diffused error could otherwise pile up.
  const Rgba hard[] = {{255, 255, 255, 255}, {255, 0, 255, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 0, 255}};
  const auto source = makePicture(200, 120, [&](int x, int y) { return hard[(x / 40 + y / 40) % 5]; });
  for (Dither dither : {Dither::FloydSteinberg, Dither::None})
    for (FitMode fit : {FitMode::Crop, FitMode::Pad, FitMode::Stretch}) {
      const IndexPicture p = convert(source, fit, dither);
      for (std::uint8_t index : p.index) ASSERT_LE(index, 150);
    }
  const IndexPicture white = convert(makePicture(10, 10, [](int, int) { return Rgba{255, 255, 255, 255}; }),
                                     FitMode::Stretch, Dither::FloydSteinberg);
  for (std::uint8_t index : white.index) ASSERT_EQ(colours[index], (Rgb8{255, 255, 255}));
}

TEST_F(ConvertTest, APicturePaintedInPaletteColoursComesBackIndexForIndex) {
  sample::Rng rng(3);
  std::vector<int> painted(kCanvasPixels);
  for (int& e : painted) {
    e = static_cast<int>(rng() % 151);
    if (matcher.nearestByFullSearch(toLinear(colours[static_cast<std::size_t>(e)])) != e) e = 0;  // a duplicate colour
  }
  const auto source = makePicture(144, 81, [&](int x, int y) { return opaque(colours[painted[y * 144 + x]]); });
  for (Dither dither : {Dither::FloydSteinberg, Dither::None}) {
    const IndexPicture p = convert(source, FitMode::Crop, dither);
    for (int i = 0; i < kCanvasPixels; ++i) ASSERT_EQ(p.index[static_cast<std::size_t>(i)], painted[static_cast<std::size_t>(i)]) << i;
  }
}

// Wide, tall and tiny pictures in three bands of palette colours, so that
// each fit mode's geometry shows in which columns and rows the bands land.
TEST_F(ConvertTest, FitModesPlaceThePictureAsTheyPromise) {
  const Rgb8 a = colours[30], b = colours[70], c = colours[120];
  const Rgb8 bar = colours[0];  // black: the entry nearest black
  const auto bands = [&](int n, int length) { return n * 4 < length ? a : n * 4 >= 3 * length ? c : b; };

  // 288 x 81, twice as wide as the preview: quarter, half, quarter.
  const auto wide = makePicture(288, 81, [&](int x, int) { return opaque(bands(x, 288)); });
  IndexPicture p = convert(wide, FitMode::Crop, Dither::None);  // only the middle half is kept
  for (int x : {0, 71, 143}) EXPECT_EQ(colourAt(p, x, 40), b) << x;
  p = convert(wide, FitMode::Stretch, Dither::None);
  EXPECT_EQ(colourAt(p, 35, 0), a);
  EXPECT_EQ(colourAt(p, 36, 0), b);
  EXPECT_EQ(colourAt(p, 107, 80), b);
  EXPECT_EQ(colourAt(p, 108, 80), c);
  p = convert(wide, FitMode::Pad, Dither::None);  // 144 x 41 (40.5 rounded) from row 20
  EXPECT_EQ(colourAt(p, 5, 19), bar);
  EXPECT_EQ(colourAt(p, 5, 20), a);
  EXPECT_EQ(colourAt(p, 140, 60), c);
  EXPECT_EQ(colourAt(p, 140, 61), bar);

  // 81 x 288, tall: bands from top to bottom.
  const auto tall = makePicture(81, 288, [&](int, int y) { return opaque(bands(y, 288)); });
  p = convert(tall, FitMode::Crop, Dither::None);  // a 81 x 45.6 strip from the middle
  for (int y : {0, 40, 80}) EXPECT_EQ(colourAt(p, 70, y), b) << y;
  p = convert(tall, FitMode::Pad, Dither::None);  // 23 x 81 (22.8 rounded) from column 60
  EXPECT_EQ(colourAt(p, 59, 40), bar);
  EXPECT_EQ(colourAt(p, 60, 0), a);
  EXPECT_EQ(colourAt(p, 82, 80), c);
  EXPECT_EQ(colourAt(p, 83, 40), bar);
  p = convert(tall, FitMode::Stretch, Dither::None);
  EXPECT_EQ(colourAt(p, 0, 19), a);
  EXPECT_EQ(colourAt(p, 0, 21), b);
  EXPECT_EQ(colourAt(p, 143, 61), c);

  // 2 x 1, a left and a right pixel, enlarged.
  const auto tiny = makePicture(2, 1, [&](int x, int) { return opaque(x == 0 ? a : c); });
  for (FitMode fit : {FitMode::Crop, FitMode::Stretch}) {
    p = convert(tiny, fit, Dither::FloydSteinberg);
    EXPECT_EQ(colourAt(p, 71, 0), a);
    EXPECT_EQ(colourAt(p, 72, 80), c);
  }
  p = convert(tiny, FitMode::Pad, Dither::None);  // 144 x 72 from row 4
  EXPECT_EQ(colourAt(p, 0, 3), bar);
  EXPECT_EQ(colourAt(p, 0, 4), a);
  EXPECT_EQ(colourAt(p, 143, 75), c);
  EXPECT_EQ(colourAt(p, 143, 76), bar);
}

TEST_F(ConvertTest, ScalingAndTransparencyWorkInLinearLight) {
  // White at half opacity over black is half the light of white: the grey
  // 188 in sRGB terms (entry 11), not the 128 that mixing sRGB values gives.
  const auto veiled = makePicture(144, 81, [](int, int) { return Rgba{255, 255, 255, 128}; });
  IndexPicture p = convert(veiled, FitMode::Crop, Dither::None);
  EXPECT_EQ(p.at(70, 40), 11);
  // A fine black and white checkerboard scaled down by two is the same grey.
  const auto checks = makePicture(288, 162, [](int x, int y) {
    return (x + y) % 2 ? Rgba{255, 255, 255, 255} : Rgba{0, 0, 0, 255};
  });
  p = convert(checks, FitMode::Crop, Dither::None);
  EXPECT_EQ(p.at(70, 40), 11);
  // Wholly transparent is black.
  p = convert(makePicture(9, 9, [](int, int) { return Rgba{200, 30, 30, 0}; }), FitMode::Crop, Dither::FloydSteinberg);
  EXPECT_EQ(p.at(3, 3), 0);
}

TEST_F(ConvertTest, DiffusionKeepsTheAverageColourWhereNearestOnlyBands) {
  // A colour between palette entries: undithered it becomes one entry all
  // over; dithered, the mix of entries averages back to it in linear light.
  const Rgb8 between{150, 110, 60};
  const Linear want = toLinear(between);
  const auto flat = makePicture(144, 81, [&](int, int) { return opaque(between); });
  const IndexPicture plain = convert(flat, FitMode::Crop, Dither::None);
  for (std::uint8_t index : plain.index) ASSERT_EQ(index, plain.index[0]);
  const Linear single = matcher.linear(plain.index[0]);

  const IndexPicture mixed = convert(flat, FitMode::Crop, Dither::FloydSteinberg);
  Linear mean;
  for (std::uint8_t index : mixed.index) {
    mean.r += matcher.linear(index).r / kCanvasPixels;
    mean.g += matcher.linear(index).g / kCanvasPixels;
    mean.b += matcher.linear(index).b / kCanvasPixels;
  }
  const auto off = [&](const Linear& c) { return std::abs(c.r - want.r) + std::abs(c.g - want.g) + std::abs(c.b - want.b); };
  EXPECT_LT(off(mean), 0.01f);
  EXPECT_GT(off(single), 0.03f);
}

TEST_F(ConvertTest, APictureWithoutPixelsIsRefused) {
  SourcePicture empty;
  const auto done = convertPicture(empty, matcher, {});
  ASSERT_FALSE(done.ok());
  EXPECT_EQ(done.error().code, ErrorCode::PictureEmpty);
}

TEST(BoxReducer, AveragesBlocksInLinearLightWeightedByOpacityAndKeepsTheEdges) {
  // Rows of 5 pixels shrunk by 2: three output pixels, the last from the fifth column alone.
  BoxReducer reducer(5, 2);
  ASSERT_EQ(reducer.outputWidth(), 3);
  const std::uint8_t top[] = {0, 0, 0, 255,     255, 255, 255, 255,  // black and white
                              200, 10, 10, 255, 0, 0, 255, 0,      // red, and a transparent blue
                              90, 90, 90, 255};
  const std::uint8_t bottom[] = {0, 0, 0, 255,     255, 255, 255, 255,
                                 200, 10, 10, 255, 200, 10, 10, 255,
                                 90, 90, 90, 51};
  std::vector<std::uint8_t> out(12, 1);
  EXPECT_FALSE(reducer.addRow(top, out));
  EXPECT_EQ(out, std::vector<std::uint8_t>(12, 1));  // nothing written before the block is complete
  EXPECT_TRUE(reducer.addRow(bottom, out));
  // Half the light of white is 188 in sRGB, not 128; the transparent pixel
  // adds no colour, only its lack of opacity; the edge pixel averages its two.
  EXPECT_EQ(out, (std::vector<std::uint8_t>{188, 188, 188, 255, 200, 10, 10, 191, 90, 90, 90, 153}));
  // A last row cut short by the picture's edge comes out of finish(), alone.
  EXPECT_FALSE(reducer.finish(out));
  EXPECT_FALSE(reducer.addRow(top, out));
  EXPECT_TRUE(reducer.finish(out));
  EXPECT_EQ(out, (std::vector<std::uint8_t>{188, 188, 188, 255, 200, 10, 10, 128, 90, 90, 90, 255}));
}

TEST(Options, NamesRoundTrip) {
  for (FitMode f : {FitMode::Crop, FitMode::Pad, FitMode::Stretch}) EXPECT_EQ(fitModeNamed(fitModeName(f)), f);
  for (Dither d : {Dither::FloydSteinberg, Dither::None}) EXPECT_EQ(ditherNamed(ditherName(d)), d);
  EXPECT_FALSE(fitModeNamed("fill"));
  EXPECT_FALSE(ditherNamed("FS"));
}

}  // namespace
}  // namespace orvane::convert
