// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "convert/box_reduce.h"
#include "convert/convert.h"
#include "convert/frame.h"
#include "sample_data.h"
#include "support/picture_fixture.h"

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
  const Rgba hard[] = {
      {255, 255, 255, 255}, {255, 0, 255, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 0, 255}};
  const auto source = makePicture(200, 120, [&](int x, int y) { return hard[(x / 40 + y / 40) % 5]; });
  for (Dither dither : {Dither::FloydSteinberg, Dither::None})
    for (FitMode fit : {FitMode::Crop, FitMode::Pad, FitMode::Stretch}) {
      const IndexPicture p = convert(source, fit, dither);
      for (std::uint8_t index : p.index) ASSERT_LE(index, 150);
    }
  const IndexPicture white = convert(makePicture(10, 10,
                                                 [](int, int) {
                                                   return Rgba{255, 255, 255, 255};
                                                 }),
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
    for (int i = 0; i < kCanvasPixels; ++i)
      ASSERT_EQ(p.index[static_cast<std::size_t>(i)], painted[static_cast<std::size_t>(i)]) << i;
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
  const auto off = [&](const Linear& c) {
    return std::abs(c.r - want.r) + std::abs(c.g - want.g) + std::abs(c.b - want.b);
  };
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
  const std::uint8_t top[] = {0,   0,  0,  255, 255, 255, 255, 255,  // black and white
                              200, 10, 10, 255, 0,   0,   255, 0,    // red, and a transparent blue
                              90,  90, 90, 255};
  const std::uint8_t bottom[] = {0, 0, 0, 255, 255, 255, 255, 255, 200, 10, 10, 255, 200, 10, 10, 255, 90, 90, 90, 51};
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

TEST_F(ConvertTest, ACropConvertsAsThatPartCutOutOfThePictureWould) {
  // Every pixel different, so that any shift of the crop shows.
  const auto pixelAt = [](int x, int y) {
    return Rgba{static_cast<std::uint8_t>(x * 7 % 256), static_cast<std::uint8_t>(y * 13 % 256),
                static_cast<std::uint8_t>((x * y) % 251), 255};
  };
  const auto whole = makePicture(300, 200, pixelAt);
  // A 16:9 part, a wide one (cut further round its centre) and a tall one.
  for (const PictureRect part :
       {PictureRect{37, 21, 160, 90}, PictureRect{10, 50, 280, 90}, PictureRect{200, 3, 60, 190}}) {
    const auto cut =
        makePicture(part.width, part.height, [&](int x, int y) { return pixelAt(x + part.x, y + part.y); });
    for (FitMode fit : {FitMode::Crop, FitMode::Pad, FitMode::Stretch}) {
      SCOPED_TRACE(describeRect(part) + " " + fitModeName(fit));
      const auto framed = convertPicture(whole, matcher, {Framing(fit, part), Dither::FloydSteinberg});
      ASSERT_TRUE(framed.ok());
      EXPECT_EQ(framed->picture.index, convert(cut, fit, Dither::FloydSteinberg).index);
    }
  }
  const ConvertOptions framed{Framing(FitMode::Crop, PictureRect{100, 20, 160, 90}), Dither::FloydSteinberg};
  const auto done = convertPicture(whole, matcher, framed);
  ASSERT_TRUE(done.ok());
  EXPECT_EQ(describeConversion(whole, framed, *done),
            "300 x 200 picture, crop 160 x 90 at 100,20, cropped to fill 144 x 81, Floyd-Steinberg dithering");

  // Outside the picture, empty, or a focus off it: refused before anything is converted.
  for (const Framing& outside :
       {Framing(FitMode::Crop, PictureRect{141, 0, 160, 90}), Framing(FitMode::Pad, PictureRect{0, 111, 160, 90}),
        Framing(FitMode::Crop, PictureRect{-1, 0, 160, 90}), Framing(FitMode::Crop, PictureRect{0, 0, 0, 90}),
        Framing(FitMode::Crop, std::nullopt, PicturePoint{300, 10})}) {
    const auto refused = convertPicture(whole, matcher, {outside, Dither::None});
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().code, ErrorCode::OutsidePicture);
  }
  EXPECT_EQ(checkFraming(300, 200, Framing(FitMode::Crop, PictureRect{141, 0, 160, 90})).error().message,
            "the crop 160 x 90 at 141,0 does not lie inside the 300 x 200 picture");
  EXPECT_TRUE(checkFraming(300, 200, Framing(FitMode::Crop, PictureRect{140, 110, 160, 90}, PicturePoint{299, 199})));
}

TEST(Fit, TheFocusCentresTheCropWindowAsFarAsThePictureAllows) {
  // 400 x 100 keeps a window 177.8 wide; 100 x 400 one 56.25 high.
  const auto startX = [](int x) {
    return planFit(400, 100, Framing(FitMode::Crop, std::nullopt, PicturePoint{x, 50})).source.x;
  };
  EXPECT_DOUBLE_EQ(startX(200), 200.5 - 400.0 / 9 * 2);
  EXPECT_DOUBLE_EQ(startX(3), 0);
  EXPECT_DOUBLE_EQ(startX(399), 400 - 1600.0 / 9);
  EXPECT_DOUBLE_EQ(planFit(100, 400, Framing(FitMode::Crop, std::nullopt, PicturePoint{50, 10})).source.y, 0);
  // Within a crop, the window stays inside the crop.
  const FitPlan inCrop = planFit(400, 100, Framing(FitMode::Crop, PictureRect{100, 0, 300, 100}, PicturePoint{0, 0}));
  EXPECT_DOUBLE_EQ(inCrop.source.x, 100);
  // Without a focus, the framing's plan is the fit mode's, to the last bit.
  for (FitMode fit : {FitMode::Crop, FitMode::Pad, FitMode::Stretch}) {
    const FitPlan a = planFit(6028, 3391, Framing(fit)),
                  b = planFit(6028, 3391, Framing(fit, PictureRect{0, 0, 6028, 3391}));
    EXPECT_EQ(a.source.x, b.source.x);
    EXPECT_EQ(a.source.width, b.source.width);
    EXPECT_EQ(a.target.height, b.target.height);
  }
  // Pad and stretch cut nothing, so the focus changes nothing there.
  EXPECT_EQ(planFit(400, 100, Framing(FitMode::Pad, std::nullopt, PicturePoint{3, 3})).source.width, 400);
}

TEST(Frame, StaysSixteenByNineAndInsideThePictureWhateverTheUserDoes) {
  EXPECT_EQ(fullFrame(640, 480), (PictureRect{0, 60, 640, 360}));  // the crop fit's own part
  EXPECT_EQ(fullFrame(6028, 3391), (PictureRect{6, 3, 6016, 3384}));
  EXPECT_EQ(fullFrame(10, 30), (PictureRect{0, 0, 10, 30}));  // under 16 x 9: the whole, fixed
  EXPECT_EQ(scaleFrame({0, 0, 10, 30}, 0.5, 10, 30), (PictureRect{0, 0, 10, 30}));

  const PictureRect half = scaleFrame(fullFrame(640, 480), 0.5, 640, 480);
  EXPECT_EQ(half, (PictureRect{160, 150, 320, 180}));  // round the centre
  EXPECT_EQ(moveFrame(half, -1000, 7, 640, 480), (PictureRect{0, 157, 320, 180}));
  EXPECT_EQ(moveFrame(half, 1000, 1000, 640, 480), (PictureRect{320, 300, 320, 180}));
  // Growing at an edge pushes the frame back in; it never outgrows the picture,
  // nor shrinks below one step; a factor near 1 still makes a step.
  EXPECT_EQ(scaleFrame({320, 300, 320, 180}, 4, 640, 480), (PictureRect{0, 120, 640, 360}));
  EXPECT_EQ(scaleFrame({10, 10, 32, 18}, 0.01, 640, 480), (PictureRect{18, 15, 16, 9}));
  EXPECT_EQ(scaleFrame(half, 1.01, 640, 480).width, 336);

  // A corner dragged: the opposite corner stays, 16:9 kept, the picture's edge stops it.
  EXPECT_EQ(frameFromCorner(100, 100, 260, 130, 640, 480), (PictureRect{100, 100, 160, 90}));
  EXPECT_EQ(frameFromCorner(100, 100, -500, -10, 640, 480), (PictureRect{4, 46, 96, 54}));
  EXPECT_EQ(frameFromCorner(600, 100, 9999, 9999, 640, 480), (PictureRect{600, 100, 32, 18}));

  // The view: a 640 x 480 picture in 320 x 320 is halved, with 40 above and below.
  const ViewMapping view = ViewMapping::fitting(640, 480, 320, 320);
  EXPECT_DOUBLE_EQ(view.scale, 0.5);
  EXPECT_DOUBLE_EQ(view.toView(half).y, 40 + 75);
  EXPECT_DOUBLE_EQ(view.toPictureX(view.toView(half).x), 160);
  EXPECT_DOUBLE_EQ(view.toPictureY(40), 0);
}

TEST(Options, NamesRoundTrip) {
  for (FitMode f : {FitMode::Crop, FitMode::Pad, FitMode::Stretch}) EXPECT_EQ(fitModeNamed(fitModeName(f)), f);
  for (Dither d : {Dither::FloydSteinberg, Dither::None}) EXPECT_EQ(ditherNamed(ditherName(d)), d);
  EXPECT_FALSE(fitModeNamed("fill"));
  EXPECT_FALSE(ditherNamed("FS"));
}

}  // namespace
}  // namespace orvane::convert
