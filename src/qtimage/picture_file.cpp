// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtimage/picture_file.h"

#include <QColorSpace>
#include <QColorTransform>
#include <QFile>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <optional>

#include "qtimage/decoded_picture.h"
#include "qtimage/decoder_warnings.h"
#include "qtimage/qt_reader.h"
#include "shell/platform.h"
#ifndef ORVANE_HAVE_LIBJPEG
#define ORVANE_HAVE_LIBJPEG 0
#endif
#ifndef ORVANE_HAVE_LIBSPNG
#define ORVANE_HAVE_LIBSPNG 0
#endif
#ifndef ORVANE_HAVE_LIBWEBP
#define ORVANE_HAVE_LIBWEBP 0
#endif
#if ORVANE_HAVE_LIBJPEG
#include "qtimage/jpeg_reader.h"
#endif
#if ORVANE_HAVE_LIBWEBP
#include "qtimage/webp_reader.h"
#endif
#if ORVANE_HAVE_LIBSPNG
#include "qtimage/png_reader.h"
#endif

namespace orvane::qtimage {
namespace {

using convert::SourcePicture;

// Opens the file for the reader, refusing anything but a regular file with
// bytes in it (openPictureFile). The QFile closes the stream once it has it.
Status openRegularFile(const std::string& path, QFile& file) {
  const Result<std::FILE*> stream = openPictureFile(path);
  if (!stream) return stream.error();
  if (file.open(*stream, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) return {};
  std::fclose(*stream);
  return Error{ErrorCode::Io, "it could not be opened"};
}

// True when the colour space's primaries are sRGB's, whatever its transfer
// function: many tools write "gamma 1/2.2" beside sRGB primaries as shorthand
// for sRGB, and viewers show those pictures as sRGB.
bool hasSrgbPrimaries(const QColorSpace& space) {
  QColorSpace probe = space;
  probe.setTransferFunction(QColorSpace::TransferFunction::SRgb);
  const QColorTransform toSrgb = probe.transformationToColorSpace(QColorSpace(QColorSpace::SRgb));
  // Colours well inside the gamut, so that a wider space shows instead of clipping.
  for (const QRgb c : {qRgb(200, 100, 50), qRgb(60, 180, 90), qRgb(70, 90, 200), qRgb(255, 255, 255)}) {
    const QRgb m = toSrgb.map(c);
    if (std::abs(qRed(m) - qRed(c)) > 3 || std::abs(qGreen(m) - qGreen(c)) > 3 || std::abs(qBlue(m) - qBlue(c)) > 3)
      return false;
  }
  return true;
}

// The file mapped (not read: a progressive JPEG shrunk to an eighth is read
// only as far as its DC scans) and given to a direct reader; nothing where
// that reader leaves the file to Qt's, or it cannot be mapped.
template <typename Reader>
std::optional<Result<DecodedPicture>> readMapped(QFile& file, Reader read, const convert::Framing& framing) {
  const uchar* bytes = file.map(0, file.size());
  if (bytes == nullptr) return std::nullopt;
  auto decoded = read(bytes, static_cast<std::size_t>(file.size()), framing);
  file.unmap(const_cast<uchar*>(bytes));
  return decoded;
}

// Reads the open file with the direct reader of its format where this build
// has one, and with Qt's otherwise (or where the direct one leaves it to Qt).
Result<DecodedPicture> decode(QFile& file, const convert::Framing& framing) {
  [[maybe_unused]] const QByteArray head = file.peek(12);
#if ORVANE_HAVE_LIBJPEG
  if (head.startsWith("\xFF\xD8\xFF"))
    if (auto read = readMapped(file, readJpeg, framing)) return std::move(*read);
#endif
#if ORVANE_HAVE_LIBSPNG
  if (head.startsWith("\x89PNG\r\n\x1A\n"))
    if (auto read = readMapped(file, readPng, framing)) return std::move(*read);
#endif
#if ORVANE_HAVE_LIBWEBP
  if (head.size() == 12 && head.startsWith("RIFF") && head.mid(8) == "WEBP")
    if (auto read = readMapped(file, readWebp, framing)) return std::move(*read);
#endif
  return readWithQt(file, framing);
}

}  // namespace

bool readsDirectly(const std::string& format) {
  return (format == "jpeg" && ORVANE_HAVE_LIBJPEG) || (format == "png" && ORVANE_HAVE_LIBSPNG) ||
         (format == "webp" && ORVANE_HAVE_LIBWEBP);
}

Result<SourcePicture> readPictureFile(const std::string& path, const convert::Framing& framing) {
  QFile file;
  if (const Status opened = openRegularFile(path, file); !opened) return opened.error();

  const DecoderWarningsHeld held;
  Result<DecodedPicture> decoded = [&]() -> Result<DecodedPicture> {
    try {
      return decode(file, framing);
    } catch (const std::bad_alloc&) {
      return Error{ErrorCode::PictureTooLarge, "there is not enough memory to decode it"};
    }
  }();
  if (!decoded) return decoded.error();
  auto image = std::make_shared<QImage>(std::move(decoded->image));
  // Wide-gamut pictures (a phone's Display P3, Adobe RGB) are brought into sRGB.
  if (image->colorSpace().isValid() && !hasSrgbPrimaries(image->colorSpace()))
    image->convertToColorSpace(QColorSpace::SRgb);
  image->convertTo(QImage::Format_RGBA8888);
  if (image->isNull()) return Error{ErrorCode::PictureEmpty, "the picture has no pixels"};

  SourcePicture picture;
  picture.width = image->width();
  picture.height = image->height();
  picture.stride = image->bytesPerLine();
  picture.pixels = image->constBits();
  picture.fullWidth = decoded->upright.width();
  picture.fullHeight = decoded->upright.height();
  picture.scaleX = decoded->scaleX;
  picture.scaleY = decoded->scaleY;
  picture.owner = std::move(image);
  return picture;
}

}  // namespace orvane::qtimage
