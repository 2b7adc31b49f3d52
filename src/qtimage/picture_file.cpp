// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtimage/picture_file.h"

#include <QColorSpace>
#include <QColorTransform>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <cerrno>
#include <cstdlib>
#include <memory>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <filesystem>
#endif

namespace orvane::qtimage {
namespace {

using convert::SourcePicture;

// Opens the file for the reader, refusing anything but a regular file. On
// POSIX the file is opened without waiting (a pipe with no writer would
// otherwise block the open) and the opened file itself is checked, so the
// check and the read cannot be told apart by swapping the path in between.
Status openRegularFile(const std::string& path, QFile& file) {
#ifndef _WIN32
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return systemError(errno);
  struct stat st {};
  Status refused;
  if (::fstat(fd, &st) != 0)
    refused = systemError(errno);
  else if (S_ISDIR(st.st_mode))
    refused = Error{ErrorCode::IsDirectory, "it is a folder, not a picture file"};
  else if (!S_ISREG(st.st_mode))
    refused = Error{ErrorCode::NotRegularFile, "it is a pipe or a device, not a picture file"};
  else if (st.st_size == 0)
    refused = Error{ErrorCode::PictureEmpty, "the file is empty"};
  else if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
    refused = Error{ErrorCode::Io, "it could not be opened"};
  else
    return {};  // the QFile closes the descriptor from now on
  ::close(fd);
  return refused;
#else
  std::error_code ec;
  // The path is UTF-8; a narrow std::filesystem::path would read it in the
  // ANSI code page.
  const auto status = std::filesystem::status(std::filesystem::path(std::u8string(path.begin(), path.end())), ec);
  if (ec) return Error{ErrorCode::NotFound, ec.message()};
  if (std::filesystem::is_directory(status)) return Error{ErrorCode::IsDirectory, "it is a folder, not a picture file"};
  if (!std::filesystem::is_regular_file(status))
    return Error{ErrorCode::NotRegularFile, "it is a pipe or a device, not a picture file"};
  file.setFileName(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return Error{ErrorCode::AccessDenied, file.errorString().toStdString()};
  if (file.size() == 0) return Error{ErrorCode::PictureEmpty, "the file is empty"};
  return {};
#endif
}

Error readerError(const QImageReader& reader) {
  switch (reader.error()) {
    case QImageReader::UnsupportedFormatError:
      return {ErrorCode::PictureUnsupported, "it is not a picture in a format Orvane reads"};
    case QImageReader::DeviceError:
      return {ErrorCode::Io, "reading it failed (" + reader.errorString().toStdString() + ")"};
    default:
      return {ErrorCode::PictureCorrupt, "the picture is damaged or cut short (" + reader.errorString().toStdString() + ")"};
  }
}

// The JPEG reduction (1, 2, 4 or 8) that keeps the fitted part of the upright
// picture at least twice the preview's size each way, and the size to ask the
// reader for so that it decodes at exactly that reduction and scales no further
// itself (it takes the largest power of two up to 8 that both sides allow).
int jpegReduction(QSize stored, bool turned, convert::FitMode fit, QSize& ask) {
  const QSize upright = turned ? stored.transposed() : stored;
  const convert::FitPlan plan = convert::planFit(upright.width(), upright.height(), fit);
  for (int k : {8, 4, 2}) {
    if (plan.source.width / k < 2 * plan.target.width || plan.source.height / k < 2 * plan.target.height) continue;
    const QSize reduced((stored.width() + k - 1) / k, (stored.height() + k - 1) / k);
    const int allowed = std::min(stored.width() / reduced.width(), stored.height() / reduced.height());
    if (allowed < k || (k < 8 && allowed >= 2 * k)) continue;
    ask = reduced;
    return k;
  }
  return 1;
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

std::string sizeText(QSize size) { return std::to_string(size.width()) + " x " + std::to_string(size.height()); }

// Bytes a pixel of the picture takes as the reader decodes it: 8 for a PNG of
// 16 bits a channel, 4 for most, 4 too when the reader does not tell.
double decodedBytesPerPixel(const QImageReader& reader) {
  const QImage::Format format = reader.imageFormat();
  if (format == QImage::Format_Invalid) return 4.0;
  return std::max(1, QImage::toPixelFormat(format).bitsPerPixel() / 8);
}

Error tooLarge(QSize stored) {
  return {ErrorCode::PictureTooLarge, "at " + sizeText(stored) + " pixels it would need more than " +
                                          std::to_string(kAllocationLimitMiB) + " MiB to decode"};
}

}  // namespace

Result<SourcePicture> readPictureFile(const std::string& path, convert::FitMode fit) {
  QFile file;
  if (const Status opened = openRegularFile(path, file); !opened) return opened.error();

  QImageReader reader(&file);
  reader.setAutoTransform(true);
  reader.setAllocationLimit(kAllocationLimitMiB);
  if (!reader.canRead()) return readerError(reader);

  const QSize stored = reader.size();  // before the orientation tag is applied; invalid when unknown
  const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
  if (stored.isValid()) {
    if (stored.isEmpty()) return Error{ErrorCode::PictureEmpty, "the picture has no pixels"};
    QSize decoded = stored;
    if (reader.format() == "jpeg" && reader.supportsOption(QImageIOHandler::ScaledSize) &&
        jpegReduction(stored, turned, fit, decoded) > 1)
      reader.setScaledSize(decoded);
    const double bytes = std::max(4.0, decodedBytesPerPixel(reader)) * decoded.width() * decoded.height();
    if (bytes > kAllocationLimitMiB * 1024.0 * 1024.0) return tooLarge(stored);
  }

  auto image = std::make_shared<QImage>(reader.read());
  if (image->isNull()) {
    // A decoder that asks for a larger block than the limit (a format whose
    // pixels it widens on the way) is refused by the reader as if the data
    // were bad: it is the size, not damage.
    if (stored.isValid() && reader.error() == QImageReader::InvalidDataError &&
        8.0 * stored.width() * stored.height() > kAllocationLimitMiB * 1024.0 * 1024.0)
      return tooLarge(stored);
    return readerError(reader);
  }
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
  const QSize full = !stored.isValid() ? image->size() : turned ? stored.transposed() : stored;
  picture.fullWidth = full.width();
  picture.fullHeight = full.height();
  picture.owner = std::move(image);
  return picture;
}

}  // namespace orvane::qtimage
