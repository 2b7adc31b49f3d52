// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtimage/png_reader.h"

#include <spng.h>
#include <QColorSpace>
#include <QPointF>
#include <algorithm>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include "convert/box_reduce.h"
#include "qtimage/exif_orientation.h"
#include "qtimage/shrink_on_load.h"
#include "qtimage/upright.h"

namespace orvane::qtimage {
namespace {

struct ContextDeleter {
  void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};

Error damaged(int code) {
  return {ErrorCode::PictureCorrupt, std::string("the picture is damaged or cut short (") + spng_strerror(code) + ")"};
}

// The colour space the file names: an ICC profile, or else chromaticities
// (with the file's gamma, or sRGB's curve); invalid when it names none, or sRGB.
QColorSpace colourSpaceOf(spng_ctx* context) {
  spng_iccp iccp{};
  if (spng_get_iccp(context, &iccp) == 0 && iccp.profile != nullptr)
    return QColorSpace::fromIccProfile(QByteArray(iccp.profile, static_cast<qsizetype>(iccp.profile_len)));
  std::uint8_t intent = 0;
  if (spng_get_srgb(context, &intent) == 0) return {};
  spng_chrm chrm{};
  if (spng_get_chrm(context, &chrm) != 0) return {};
  double gamma = 0;
  const bool hasGamma = spng_get_gama(context, &gamma) == 0 && gamma > 0;
  return QColorSpace(QPointF(chrm.white_point_x, chrm.white_point_y), QPointF(chrm.red_x, chrm.red_y),
                     QPointF(chrm.green_x, chrm.green_y), QPointF(chrm.blue_x, chrm.blue_y),
                     hasGamma ? QColorSpace::TransferFunction::Gamma : QColorSpace::TransferFunction::SRgb,
                     hasGamma ? static_cast<float>(1.0 / gamma) : 0.0f);
}

}  // namespace

std::optional<Result<DecodedPicture>> readPng(const std::uint8_t* bytes, std::size_t size,
                                              const convert::Framing& framing) {
  const std::unique_ptr<spng_ctx, ContextDeleter> owned(spng_ctx_new(0));
  spng_ctx* context = owned.get();
  if (context == nullptr) return std::nullopt;
  spng_set_png_buffer(context, bytes, size);
  spng_ihdr header{};
  if (const int code = spng_get_ihdr(context, &header); code != 0) return damaged(code);
  if (header.interlace_method != 0) return std::nullopt;
  const int width = static_cast<int>(header.width), height = static_cast<int>(header.height);
  if (width < 1 || height < 1) return Error{ErrorCode::PictureEmpty, "the picture has no pixels"};

  int orientation = 1;
  if (spng_exif exif{}; spng_get_exif(context, &exif) == 0 && exif.data != nullptr)
    orientation = tiffOrientation({reinterpret_cast<const std::uint8_t*>(exif.data), exif.length});
  const QColorSpace space = colourSpaceOf(context);

  // Shrunk only where holding it whole would cost: a picture of up to 4
  // megapixels takes 16 MiB decoded, and is then read exactly as it is.
  constexpr std::int64_t kShrinkAbovePixels = 4 * 1024 * 1024;
  const int k = std::int64_t{width} * height > kShrinkAbovePixels
                    ? shrinkFactor(width, height, turnsQuarter(orientation), framing)
                    : 1;
  const int outWidth = convert::BoxReducer::outputSize(width, k),
            outHeight = convert::BoxReducer::outputSize(height, k);
  if (!withinDecodeLimit(outWidth, outHeight, 4)) return tooLargeToDecode(width, height);
  QImage image(outWidth, outHeight, QImage::Format_RGBA8888);
  if (image.isNull()) return Error{ErrorCode::PictureTooLarge, "there is not enough memory to decode it"};

  if (const int code =
          spng_decode_image(context, nullptr, 0, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS | SPNG_DECODE_PROGRESSIVE);
      code != 0)
    return damaged(code);
  // Unshrunk, each row goes straight into the picture; shrunk, through one row's buffer.
  // Rows below the part the fit uses (a block more, for the area average's
  // partial edge row) are not decoded, and stay black.
  const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
  std::vector<std::uint8_t> row(k > 1 ? rowBytes : 0);
  convert::BoxReducer reducer(width, k);
  const int usedRows = storedRowsUsed(width, height, orientation, framing);
  const int decodedRows = std::min(height, ((usedRows + k - 1) / k + 1) * k);
  int written = 0;
  for (int y = 0; y < decodedRows; ++y) {
    const int code = spng_decode_row(context, k > 1 ? row.data() : image.scanLine(y), rowBytes);
    if (code != 0 && code != SPNG_EOI) return damaged(code);
    if (k == 1)
      ++written;
    else if (written < outHeight &&
             reducer.addRow(row.data(), {image.scanLine(written), static_cast<std::size_t>(outWidth) * 4}))
      ++written;
    if (code == SPNG_EOI && y + 1 < height) return damaged(SPNG_EOF);
  }
  if (k > 1 && written < outHeight && reducer.finish({image.scanLine(written), static_cast<std::size_t>(outWidth) * 4}))
    ++written;
  for (int y = written; y < outHeight; ++y) std::memset(image.scanLine(y), 0, static_cast<std::size_t>(outWidth) * 4);
  if (space.isValid()) image.setColorSpace(space);

  DecodedPicture decoded;
  decoded.upright = turnsQuarter(orientation) ? QSize(height, width) : QSize(width, height);
  decoded.image = turnedUpright(std::move(image), orientation);
  decoded.scaleX = decoded.scaleY = k;  // a pixel per k x k block, the last ones cut short
  return decoded;
}

}  // namespace orvane::qtimage
