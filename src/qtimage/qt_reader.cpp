// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtimage/qt_reader.h"

#include <QImageReader>
#include <algorithm>

#include "qtimage/picture_file.h"
#include "qtimage/shrink_on_load.h"

namespace orvane::qtimage {
namespace {

Error readerError(const QImageReader& reader) {
  switch (reader.error()) {
    case QImageReader::UnsupportedFormatError:
      return {ErrorCode::PictureUnsupported, "it is not a picture in a format Orvane reads"};
    case QImageReader::DeviceError:
      return {ErrorCode::Io, "reading it failed (" + reader.errorString().toStdString() + ")"};
    default:
      return {ErrorCode::PictureCorrupt,
              "the picture is damaged or cut short (" + reader.errorString().toStdString() + ")"};
  }
}

// Bytes per pixel of the format the reader decodes into; 4 when it does not say.
int decodedBytesPerPixel(const QImageReader& reader) {
  const QImage::Format format = reader.imageFormat();
  if (format == QImage::Format_Invalid) return 4;
  return std::max(1, QImage::toPixelFormat(format).bitsPerPixel() / 8);
}

}  // namespace

Result<DecodedPicture> readWithQt(QFile& file, const convert::Framing& framing) {
  QImageReader reader(&file);
  reader.setAutoTransform(true);
  reader.setAllocationLimit(kAllocationLimitMiB);
  if (!reader.canRead()) return readerError(reader);

  const QSize stored = reader.size();  // before the orientation tag is applied; invalid when unknown
  const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
  const int bytesPerPixel = decodedBytesPerPixel(reader);
  QSize decoded = stored;
  if (stored.isValid()) {
    if (stored.isEmpty()) return Error{ErrorCode::PictureEmpty, "the picture has no pixels"};
    // The reader picks the DCT scaling from the size asked for; a size
    // rounded down gets the whole reduction for sides of any length.
    if (reader.format() == "jpeg" && reader.supportsOption(QImageIOHandler::ScaledSize)) {
      if (const int k = shrinkFactor(stored.width(), stored.height(), turned, framing); k > 1) {
        decoded = QSize(stored.width() / k, stored.height() / k);
        reader.setScaledSize(decoded);
      }
    }
    if (!withinDecodeLimit(decoded.width(), decoded.height(), bytesPerPixel))
      return tooLargeToDecode(stored.width(), stored.height());
  }

  DecodedPicture picture;
  picture.image = reader.read();
  if (picture.image.isNull()) {
    // Qt's own allocation refusal reads as a damaged picture; it is not. It
    // comes where a reader decodes into a wider format than it announced (up
    // to 8 bytes a pixel, 16 bits a channel).
    if (reader.error() != QImageReader::UnsupportedFormatError && reader.error() != QImageReader::DeviceError &&
        decoded.isValid() && !withinDecodeLimit(decoded.width(), decoded.height(), 8))
      return tooLargeToDecode(stored.width(), stored.height());
    return readerError(reader);
  }
  picture.upright = !stored.isValid() ? picture.image.size() : turned ? stored.transposed() : stored;
  return picture;
}

}  // namespace orvane::qtimage
