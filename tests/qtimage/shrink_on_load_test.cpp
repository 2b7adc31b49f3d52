// SPDX-License-Identifier: GPL-3.0-or-later
// JPEGs are decoded shrunk whatever their size, and shrinking on load changes
// the preview by no more than a palette step: against a full-size decode of
// the same file, each preview pixel's colour is the one the full decode
// matches, or the next nearest to it.
#include <gtest/gtest.h>

#include <QImage>
#include <QImageWriter>
#include <algorithm>
#include <cmath>
#include <vector>

#include "convert/convert.h"
#include "convert/downscale.h"
#include "convert/palette_matcher.h"
#include "display/palette.h"
#include "qtimage/exif_orientation.h"
#include "qtimage/picture_file.h"
#include "qtimage/shrink_on_load.h"
#include "support/movie_builder.h"

namespace orvane {
namespace {

using namespace convert;

// A photo-like picture: smooth colour fields and a few hard edges.
QImage photo(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const double u = double(x) / width, v = double(y) / height;
      int r = int(40 + 180 * u), g = int(60 + 150 * v), b = int(128 + 100 * std::sin(9 * u + 5 * v));
      if ((x / 700 + y / 600) % 3 == 0) r = 250 - r / 2;  // blocks with hard edges
      row[x] = qRgb(r, g, std::clamp(b, 0, 255));
    }
  }
  return image;
}

std::vector<Linear> canvasOf(const SourcePicture& picture) {
  std::vector<Linear> canvas(kCanvasPixels);
  areaAverage(picture, planFit(picture.width, picture.height, FitMode::Crop), canvas);
  return canvas;
}

PaletteMatcher shippedColours() {
  std::vector<Rgb8> colours;
  for (int e = 0; e <= 150; ++e) {
    const auto& c = defaultPalette()[static_cast<std::size_t>(e)];
    colours.push_back({static_cast<std::uint8_t>(c.r), static_cast<std::uint8_t>(c.g), static_cast<std::uint8_t>(c.b)});
  }
  return PaletteMatcher(colours);
}

// Each preview pixel of `reduced` matches the same palette colour as the
// full-size decode of the same file, or the next nearest to that one. A DCT
// or WebP scaling averages in sRGB terms rather than in linear light, so
// right on a hard edge a few pixels (well under one in two hundred) may land
// further off.
void expectWithinAPaletteStep(const SourcePicture& reduced, const std::string& path) {
  static PaletteMatcher matcher = shippedColours();
  const QImage full = QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_RGBA8888);
  ASSERT_EQ(full.width(), reduced.fullWidth);
  SourcePicture whole;
  whole.width = whole.fullWidth = full.width();
  whole.height = whole.fullHeight = full.height();
  whole.stride = full.bytesPerLine();
  whole.pixels = full.constBits();

  const auto shrunk = convertPicture(reduced, matcher, {FitMode::Crop, Dither::None});
  ASSERT_TRUE(shrunk.ok());
  const auto exact = canvasOf(whole);
  int same = 0, further = 0;
  for (std::size_t i = 0; i < exact.size(); ++i) {
    const int want = matcher.nearest(exact[i]), got = shrunk->picture.index[i];
    if (got == want) {
      ++same;
      continue;
    }
    const OkLab target = toOkLab(exact[i]);
    const float gotDistance = okLabDistance2(target, toOkLab(matcher.linear(got)));
    int nearer = 0;
    for (int e = 0; e < matcher.size(); ++e)
      if (okLabDistance2(target, toOkLab(matcher.linear(e))) < gotDistance) ++nearer;
    if (nearer > 1) ++further;
  }
  EXPECT_GT(same, kCanvasPixels * 9 / 10);
  EXPECT_LE(further, kCanvasPixels / 200);
}

TEST(ShrinkOnLoad, JpegsOfAnySizeAreDecodedReducedToWithinAPaletteStepOfTheFullDecode) {
  testing::TempDir dir;
  struct Case {
    int width, height;
    bool progressive;
  };
  for (const Case& c : {Case{6028, 3391, false}, Case{3999, 3000, false}, Case{4001, 2999, true}}) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + (c.progressive ? " progressive" : ""));
    const std::string path = dir.file("photo.jpg");
    QImageWriter writer(QString::fromStdString(path));
    writer.setQuality(90);
    writer.setProgressiveScanWrite(c.progressive);
    ASSERT_TRUE(writer.write(photo(c.width, c.height)));

    const auto reduced = qtimage::readPictureFile(path, FitMode::Crop);
    ASSERT_TRUE(reduced.ok());
    EXPECT_EQ(reduced->fullWidth, c.width);
    EXPECT_GE(reduced->width, c.width / 8);  // an eighth, rounded either way
    EXPECT_LE(reduced->width, (c.width + 7) / 8);
    EXPECT_LE(reduced->height, (c.height + 7) / 8);
    expectWithinAPaletteStep(*reduced, path);
  }
}

TEST(ShrinkOnLoad, PngAndWebpAreDecodedReducedToWithinAPaletteStepOfTheFullDecode) {
  testing::TempDir dir;
  // Over 4 megapixels, so that a PNG is shrunk too; an eighth leaves 375 x 211.
  const QImage picture = photo(3003, 1689);
  for (const char* name : {"photo.png", "photo.webp"}) {
    SCOPED_TRACE(name);
    if (!qtimage::readsDirectly(std::string(name).substr(6))) continue;  // Qt's readers decode them whole
    const std::string path = dir.file(name);
    QImageWriter writer(QString::fromStdString(path));
    writer.setQuality(95);
    ASSERT_TRUE(writer.write(picture)) << writer.errorString().toStdString();
    const auto reduced = qtimage::readPictureFile(path, FitMode::Crop);
    ASSERT_TRUE(reduced.ok());
    EXPECT_GE(reduced->width, 3003 / 8);  // an eighth, rounded either way
    EXPECT_LE(reduced->width, (3003 + 7) / 8);
    EXPECT_LE(reduced->height, (1689 + 7) / 8);
    expectWithinAPaletteStep(*reduced, path);
  }
}

TEST(ShrinkOnLoad, ACropStopsDecodingBelowThePartItUsesAndMakesTheSamePreview) {
  testing::TempDir dir;
  const QImage picture = photo(4000, 3000);
  static PaletteMatcher matcher = shippedColours();
  for (const char* name : {"photo.jpg", "photo.png"}) {
    SCOPED_TRACE(name);
    if (!qtimage::readsDirectly(std::string(name) == "photo.jpg" ? "jpeg" : "png")) continue;
    const std::string path = dir.file(name);
    QImageWriter writer(QString::fromStdString(path));
    writer.setQuality(90);
    ASSERT_TRUE(writer.write(picture));
    // Both shrunk to an eighth; only the stretch uses every row.
    const auto cropped = qtimage::readPictureFile(path, FitMode::Crop);
    const auto whole = qtimage::readPictureFile(path, FitMode::Stretch);
    ASSERT_TRUE(cropped.ok() && whole.ok());
    ASSERT_EQ(cropped->height, whole->height);
    EXPECT_EQ(cropped->pixel(10, cropped->height - 1)[3], 0);  // not decoded
    EXPECT_EQ(whole->pixel(10, whole->height - 1)[3], 255);

    const auto a = convertPicture(*cropped, matcher, {FitMode::Crop, Dither::FloydSteinberg});
    const auto b = convertPicture(*whole, matcher, {FitMode::Crop, Dither::FloydSteinberg});
    ASSERT_TRUE(a.ok() && b.ok());
    EXPECT_EQ(a->picture.index, b->picture.index);
  }
  EXPECT_EQ(qtimage::storedRowsUsed(4000, 3000, 1, FitMode::Crop), 2625);
  EXPECT_EQ(qtimage::storedRowsUsed(4000, 3000, 6, FitMode::Crop), 3000);  // stored turned: rows are columns
}

TEST(ShrinkOnLoad, TheFactorLeavesTwoSourcePixelsPerPreviewPixelOfTheFittedPart) {
  using qtimage::shrinkFactor;
  EXPECT_EQ(shrinkFactor(6028, 3391, false, FitMode::Crop), 8);  // sides not multiples of 8 too
  EXPECT_EQ(shrinkFactor(2303, 1295, false, FitMode::Crop), 4);  // 287 x 161 at an eighth: just short
  EXPECT_EQ(shrinkFactor(2304, 1296, false, FitMode::Crop), 8);
  EXPECT_EQ(shrinkFactor(575, 4000, false, FitMode::Crop), 1);  // a tall strip cropped to its width
  EXPECT_EQ(shrinkFactor(4000, 575, true, FitMode::Crop), 1);   // the same, stored turned
  EXPECT_EQ(shrinkFactor(4000, 576, true, FitMode::Crop), 2);
  EXPECT_EQ(shrinkFactor(6000, 3375, false, FitMode::Pad, 4), 4);
  // A crop counts only its own pixels: 600 x 337.5 leaves room for a half, no more.
  EXPECT_EQ(shrinkFactor(6000, 4000, false, Framing(FitMode::Crop, PictureRect{100, 100, 600, 338})), 2);
  EXPECT_EQ(shrinkFactor(6000, 4000, false, Framing(FitMode::Stretch, PictureRect{5000, 0, 287, 4000})), 1);
  EXPECT_EQ(shrinkFactor(4000, 6000, true, Framing(FitMode::Crop, PictureRect{0, 0, 6000, 3375})),
            8);  // upright 6000 wide
  // Rows below a crop are not needed; stored turned, every row is.
  EXPECT_EQ(qtimage::storedRowsUsed(4000, 3000, 1, Framing(FitMode::Stretch, PictureRect{0, 100, 1600, 900})), 1000);
  EXPECT_EQ(qtimage::storedRowsUsed(4000, 3000, 8, Framing(FitMode::Stretch, PictureRect{0, 100, 1600, 900})), 3000);
  // A crop outside the picture decodes all of it (the conversion refuses it).
  EXPECT_EQ(qtimage::storedRowsUsed(4000, 3000, 1, Framing(FitMode::Crop, PictureRect{0, 2900, 1600, 900})), 3000);
}

TEST(ShrinkOnLoad, ASmallCropOfALargeJpegKeepsTwoPixelsAPreviewPixelAndSkipsTheRowsBelow) {
  testing::TempDir dir;
  const std::string path = dir.file("photo.jpg");
  QImageWriter writer(QString::fromStdString(path));
  writer.setQuality(90);
  ASSERT_TRUE(writer.write(photo(4000, 3000)));
  const Framing face(FitMode::Crop, PictureRect{1200, 600, 640, 360});
  const auto read = qtimage::readPictureFile(path, face);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(read->fullWidth, 4000);
  EXPECT_EQ(read->width, 4000 / 2);  // 320 x 180 of the crop left, where the whole would go to an eighth
  if (qtimage::readsDirectly("jpeg")) {
    EXPECT_EQ(read->pixel(10, read->height - 1)[3], 0);  // not decoded
  }
  static PaletteMatcher matcher = shippedColours();
  const auto done = convertPicture(*read, matcher, {face, Dither::None});
  ASSERT_TRUE(done.ok());
  EXPECT_EQ(done->plan.source.x, 600);  // in the decoded pixels
  EXPECT_EQ(done->plan.source.width, 320);
}

TEST(ExifOrientation, ReadsTheTagInEitherByteOrderAndIgnoresDamage) {
  // "Exif\0\0", a TIFF header, IFD0 with one entry: tag 0x0112, SHORT, count 1, value 6.
  const std::vector<std::uint8_t> little = {'E',  'x',  'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0,
                                            0x12, 0x01, 3,   0,   1, 0, 0,   0,   6,  0, 0, 0, 0, 0, 0, 0};
  const std::vector<std::uint8_t> big = {'E',  'x',  'i', 'f', 0, 0, 'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1,
                                         0x01, 0x12, 0,   3,   0, 0, 0,   1,   0, 8,  0, 0, 0, 0, 0, 0};
  EXPECT_EQ(qtimage::exifOrientation(little), 6);
  EXPECT_EQ(qtimage::exifOrientation(big), 8);
  auto cut = little;
  cut.resize(20);  // the entry cut off
  EXPECT_EQ(qtimage::exifOrientation(cut), 1);
  auto farOff = little;
  farOff[10] = 0xF0;  // IFD0 beyond the end
  EXPECT_EQ(qtimage::exifOrientation(farOff), 1);
  auto outOfRange = little;
  outOfRange[24] = 9;
  EXPECT_EQ(qtimage::exifOrientation(outOfRange), 1);
}

}  // namespace
}  // namespace orvane
