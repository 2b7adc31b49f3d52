// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtimage/decoded_picture.h"

#include "qtimage/picture_file.h"

namespace orvane::qtimage {

bool withinDecodeLimit(std::int64_t width, std::int64_t height, int bytesPerPixel) {
  return width * height * bytesPerPixel <= static_cast<std::int64_t>(kAllocationLimitMiB) * 1024 * 1024;
}

Error tooLargeToDecode(std::int64_t width, std::int64_t height) {
  return {ErrorCode::PictureTooLarge, "at " + std::to_string(width) + " x " + std::to_string(height) +
                                          " pixels it would need more than " + std::to_string(kAllocationLimitMiB) +
                                          " MiB to decode"};
}

}  // namespace orvane::qtimage
