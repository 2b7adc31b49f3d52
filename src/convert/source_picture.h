// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A decoded picture as the conversion takes it: 8-bit RGBA, not premultiplied,
// sRGB, rows top first. Whoever decodes it owns the pixels; `owner` keeps them
// alive for as long as the view is used.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace orvane::convert {

struct SourcePicture {
  int width = 0, height = 0;  // of the pixels below
  std::ptrdiff_t stride = 0;  // bytes from the start of one row to the next
  const std::uint8_t* pixels = nullptr;
  std::shared_ptr<const void> owner;
  // The picture's own size, upright; larger than width x height when it was
  // decoded at a reduced size (a JPEG can be, several times faster).
  int fullWidth = 0, fullHeight = 0;
  // Source pixels per pixel above, each way, where the decoder shrank by a
  // known factor whose last pixel covers less (a JPEG's eighth of 6028 pixels
  // is 754 pixels of 8, the last of 4); 0 where the shrunk picture spans the
  // whole one evenly (fullWidth / width).
  double scaleX = 0, scaleY = 0;

  const std::uint8_t* pixel(int x, int y) const {
    return pixels + static_cast<std::ptrdiff_t>(y) * stride + static_cast<std::ptrdiff_t>(x) * 4;
  }
};

// A picture that owns its pixels: width x height RGBA bytes, rows top first,
// without padding.
inline SourcePicture ownedPicture(int width, int height, std::vector<std::uint8_t> rgba) {
  auto bytes = std::make_shared<std::vector<std::uint8_t>>(std::move(rgba));
  SourcePicture picture;
  picture.width = picture.fullWidth = width;
  picture.height = picture.fullHeight = height;
  picture.stride = static_cast<std::ptrdiff_t>(width) * 4;
  picture.pixels = bytes->data();
  picture.owner = std::move(bytes);
  return picture;
}

}  // namespace orvane::convert
