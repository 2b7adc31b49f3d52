// SPDX-License-Identifier: GPL-3.0-or-later
// The picture reader on real files, without a Qt application object (as the
// command line runs it): formats, orientation, transparency, and every refusal.
#include <gtest/gtest.h>

#include <QColorSpace>
#include <QImage>
#include <QImageWriter>
#include <QThreadPool>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "display/palette.h"
#include "qtimage/picture_file.h"
#include "support/fake_host.h"
#include "support/movie_builder.h"
#include "workflow/import_picture.h"

namespace orvane {
namespace {

// Qt scales and converts large pictures on its global thread pool, whose idle
// threads live on for half a minute. They are ended before the process exits,
// so that the leak checker, which stops every thread at exit to look through
// its memory, finds none half-way through ending.
class QtPoolThreadsEnded : public ::testing::Environment {
  void TearDown() override { QThreadPool::globalInstance()->waitForDone(); }
};
[[maybe_unused]] const auto* const kQtPoolThreadsEnded = ::testing::AddGlobalTestEnvironment(new QtPoolThreadsEnded);

struct PictureFileTest : ::testing::Test {
  testing::TempDir dir;
  testing::FakeHost host;
  Core core{host};
  void SetUp() override { applyPalette(core.s, defaultPalette()); }

  std::string save(const QImage& image, const std::string& name, QImageIOHandler::Transformations turn = {}) {
    const std::string path = dir.file(name);
    QImageWriter writer(QString::fromStdString(path));
    writer.setTransformation(turn);
    EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
    return path;
  }
  Status import(const std::string& path, convert::FitMode fit = convert::FitMode::Crop) {
    return importPicture(core, path, {fit, convert::Dither::None}, qtimage::readPictureFile);
  }
  // The entry of a preview pixel, y from the top.
  int at(int x, int y) const { return core.s.bufferPixel(y, x); }
};

TEST_F(PictureFileTest, TheOrientationTagIsHonoured) {
  // Stored 90 x 160, white above and blue below, with a tag saying "turn a
  // quarter clockwise to view": upright it is 160 x 90, white on the right.
  QImage stored(90, 160, QImage::Format_RGB32);
  stored.fill(Qt::white);
  for (int y = 80; y < 160; ++y)
    for (int x = 0; x < 90; ++x) stored.setPixel(x, y, qRgb(0, 0, 255));
  const std::string path = save(stored, "turned.jpg", QImageIOHandler::TransformationRotate90);
  ASSERT_TRUE(import(path));
  EXPECT_NE(core.log.text().find("Import:160 x 90 picture, cropped to fill 144 x 81"), std::string::npos);
  EXPECT_EQ(at(133, 40), 15);  // white
  const std::uint32_t left = paletteArgb(core.s, at(10, 40));
  EXPECT_GT(left & 0xFF, 0xC0u);  // blue
  EXPECT_LT((left >> 16) & 0xFF, 0x40u);
}

TEST_F(PictureFileTest, TransparencyGoesOverBlackAndLargeJpegsReportTheirOwnSize) {
  QImage veiled(300, 200, QImage::Format_ARGB32);
  veiled.fill(qRgba(255, 255, 255, 128));
  ASSERT_TRUE(import(save(veiled, "veiled.png")));
  EXPECT_EQ(at(70, 40), 11);  // half the light of white

  // Decoded at an eighth of its size, named at its own.
  QImage big(2400, 1350, QImage::Format_RGB32);
  big.fill(qRgb(255, 255, 255));
  ASSERT_TRUE(import(save(big, "big.jpg"), convert::FitMode::Stretch));
  EXPECT_NE(core.log.text().find("Import:2400 x 1350 picture, stretched to 144 x 81, no dithering"), std::string::npos);
  EXPECT_EQ(at(0, 0), 15);
  EXPECT_EQ(at(143, 80), 15);
}

TEST_F(PictureFileTest, WideGamutPicturesAreBroughtIntoSrgbButGammaShorthandIsNot) {
  QImage image(32, 18, QImage::Format_RGB32);
  image.fill(qRgb(200, 100, 50));
  const auto firstPixel = [&](QColorSpace space, const std::string& name) {
    image.setColorSpace(space);
    const auto read = qtimage::readPictureFile(save(image, name), convert::FitMode::Crop);
    EXPECT_TRUE(read.ok());
    return read ? QColor(read->pixels[0], read->pixels[1], read->pixels[2]) : QColor();
  };
  // sRGB primaries with a plain 2.2 gamma: what many tools write for sRGB.
  EXPECT_EQ(firstPixel(QColorSpace(QColorSpace::Primaries::SRgb, 2.2f), "gamma.png"), QColor(200, 100, 50));
  // Display P3, as phones take photos: this orange is more vivid than sRGB's own.
  for (const std::string name : {"p3.png", "p3.jpg"}) {
    const QColor p3 = firstPixel(QColorSpace(QColorSpace::DisplayP3), name);
    EXPECT_GT(p3.red(), 205) << name;
    EXPECT_LT(p3.blue(), 45) << name;
  }
}

TEST_F(PictureFileTest, EveryRefusalNamesTheFileAndLeavesThePictureBufferAlone) {
  ASSERT_TRUE(import(save(QImage(20, 20, QImage::Format_RGB32), "first.png")));
  const auto loaded = core.s.pictureBuffer();

  testing::writeFile(dir.file("empty.png"), {});
  testing::writeFile(dir.file("notes.png"), testing::Bytes(300, 'x'));
  {
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(Qt::red);
    save(image, "whole.png");
    const auto whole = testing::readFile(dir.file("whole.png"));
    testing::writeFile(dir.file("cut.png"), testing::Bytes(whole.begin(), whole.begin() + 60));
    save(image, "whole.jpg");
    const auto jpeg = testing::readFile(dir.file("whole.jpg"));
    testing::writeFile(dir.file("cut.jpg"), testing::Bytes(jpeg.begin(), jpeg.begin() + jpeg.size() * 2 / 3));
  }
  // A header that claims 30000 x 30000 pixels: 3.6 GB once decoded.
  const std::string huge = "P6\n30000 30000\n255\nabcdef";
  testing::writeFile(dir.file("huge.ppm"), testing::Bytes(huge.begin(), huge.end()));

  std::vector<std::pair<std::string, ErrorCode>> refused = {
    {dir.file("missing.png"), ErrorCode::NotFound},
    {dir.path().string(), ErrorCode::IsDirectory},
    {dir.file("empty.png"), ErrorCode::PictureEmpty},
    {dir.file("notes.png"), ErrorCode::PictureUnsupported},
    {dir.file("cut.png"), ErrorCode::PictureCorrupt},
    {dir.file("huge.ppm"), ErrorCode::PictureTooLarge},
#if ORVANE_HAVE_LIBJPEG  // Qt's own JPEG reader fills a file cut short with grey
    {dir.file("cut.jpg"), ErrorCode::PictureCorrupt},
#endif
  };
#ifndef _WIN32  // Windows has no named pipes in the file system
  const std::string fifo = dir.file("pipe.png");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  refused.push_back({fifo, ErrorCode::NotRegularFile});
#endif
  for (const auto& [path, code] : refused) {
    const std::size_t before = core.log.text().size();
    const Status status = import(path);
    ASSERT_FALSE(status) << path;
    EXPECT_EQ(status.error().code, code) << path << ": " << status.error().message;
    const std::string lines = core.log.text().substr(before);
    EXPECT_EQ(lines.rfind("Import:Importing " + path + "...\r\nImport:Cannot import " + path + ": ", 0), 0u) << lines;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 2) << lines;
    EXPECT_EQ(core.s.pictureBuffer(), loaded) << path;
  }
}

}  // namespace
}  // namespace orvane
