// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtimage/webp_reader.h"

#include <webp/decode.h>
#include <webp/demux.h>
#include <QColorSpace>
#include <memory>
#include <span>

#include "qtimage/exif_orientation.h"
#include "qtimage/shrink_on_load.h"
#include "qtimage/upright.h"

namespace orvane::qtimage {
namespace {

struct DemuxDeleter {
  void operator()(WebPDemuxer* demux) const { WebPDemuxDelete(demux); }
};

Error damaged(const char* why) {
  return {ErrorCode::PictureCorrupt, std::string("the picture is damaged or cut short (") + why + ")"};
}

const char* statusText(VP8StatusCode status) {
  switch (status) {
    case VP8_STATUS_OUT_OF_MEMORY: return "out of memory";
    case VP8_STATUS_UNSUPPORTED_FEATURE: return "a feature this reader does not know";
    case VP8_STATUS_NOT_ENOUGH_DATA: return "the file ends early";
    default: return "its data is not valid WebP";
  }
}

}  // namespace

std::optional<Result<DecodedPicture>> readWebp(const std::uint8_t* bytes, std::size_t size,
                                               const convert::Framing& framing) {
  WebPDecoderConfig config;
  if (!WebPInitDecoderConfig(&config)) return std::nullopt;
  if (const VP8StatusCode status = WebPGetFeatures(bytes, size, &config.input); status != VP8_STATUS_OK)
    return damaged(statusText(status));
  if (config.input.has_animation) return std::nullopt;
  const int width = config.input.width, height = config.input.height;
  if (width < 1 || height < 1) return Error{ErrorCode::PictureEmpty, "the picture has no pixels"};

  // The orientation tag and the colour profile, from their chunks.
  int orientation = 1;
  QColorSpace profile;
  const WebPData data{bytes, size};
  if (const std::unique_ptr<WebPDemuxer, DemuxDeleter> demux(WebPDemux(&data)); demux) {
    WebPChunkIterator chunk;
    if (WebPDemuxGetChunk(demux.get(), "EXIF", 1, &chunk)) {
      orientation = tiffOrientation({chunk.chunk.bytes, chunk.chunk.size});
      WebPDemuxReleaseChunkIterator(&chunk);
    }
    if (WebPDemuxGetChunk(demux.get(), "ICCP", 1, &chunk)) {
      profile = QColorSpace::fromIccProfile(
          QByteArray(reinterpret_cast<const char*>(chunk.chunk.bytes), static_cast<qsizetype>(chunk.chunk.size)));
      WebPDemuxReleaseChunkIterator(&chunk);
    }
  }

  const int k = shrinkFactor(width, height, turnsQuarter(orientation), framing);
  const int outWidth = width / k, outHeight = height / k;
  if (!withinDecodeLimit(outWidth, outHeight, 4)) return tooLargeToDecode(width, height);
  QImage image(outWidth, outHeight, QImage::Format_RGBA8888);
  if (image.isNull()) return Error{ErrorCode::PictureTooLarge, "there is not enough memory to decode it"};
  if (k > 1) {
    config.options.use_scaling = 1;
    config.options.scaled_width = outWidth;
    config.options.scaled_height = outHeight;
  }
  config.output.colorspace = MODE_RGBA;
  config.output.is_external_memory = 1;
  config.output.u.RGBA.rgba = image.bits();
  config.output.u.RGBA.stride = static_cast<int>(image.bytesPerLine());
  config.output.u.RGBA.size = static_cast<std::size_t>(image.sizeInBytes());
  const VP8StatusCode status = WebPDecode(bytes, size, &config);
  WebPFreeDecBuffer(&config.output);
  if (status == VP8_STATUS_OUT_OF_MEMORY)
    return Error{ErrorCode::PictureTooLarge, "there is not enough memory to decode it"};
  if (status != VP8_STATUS_OK) return damaged(statusText(status));
  if (profile.isValid()) image.setColorSpace(profile);

  DecodedPicture decoded;
  decoded.upright = turnsQuarter(orientation) ? QSize(height, width) : QSize(width, height);
  decoded.image = turnedUpright(std::move(image), orientation);
  return decoded;
}

}  // namespace orvane::qtimage
