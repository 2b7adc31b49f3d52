// SPDX-License-Identifier: GPL-3.0-or-later
#include "replace/bmp_writer.h"

namespace orvane::bmp {

Result<std::vector<std::uint8_t>> encode8(const IndexPicture& picture, std::span<const Rgb> colours) {
  if (colours.size() > static_cast<std::size_t>(kMaxColours))
    return Error{ErrorCode::TooManyColours, "A BMP colour table holds at most 256 entries."};

  const auto tableBytes = static_cast<std::uint32_t>(4 * colours.size());
  const std::uint32_t pixelOffset = kHeadersBytes + tableBytes;
  const std::uint32_t fileSize = pixelOffset + kPixelBytes;

  std::vector<std::uint8_t> file(fileSize, 0);
  std::span<std::uint8_t> out(file);
  out[kType] = 'B';
  out[kType + 1] = 'M';
  writeLe32(out, kFileSize, fileSize);
  writeLe32(out, kPixelOffset, pixelOffset);
  writeLe32(out, kInfoSize, kInfoHeaderBytes);
  writeLe32(out, kWidthField, kWidth);
  writeLe32(out, kHeightField, kHeight);  // positive: bottom-up
  writeLe16(out, kPlanes, 1);
  writeLe16(out, kBitCount, kBitsPerPixel);
  writeLe32(out, kCompression, 0);
  writeLe32(out, kImageSize, kPixelBytes);
  writeLe32(out, 38, 2835);  // horizontal and vertical resolution: 72 dots per inch
  writeLe32(out, 42, 2835);
  writeLe32(out, kColoursUsed, static_cast<std::uint32_t>(colours.size()));

  // Table entries are blue, green, red, reserved.
  std::size_t at = kColourTable;
  for (const Rgb& c : colours) {
    out[at++] = c.blue;
    out[at++] = c.green;
    out[at++] = c.red;
    out[at++] = 0;
  }
  for (int r = 0; r < kHeight; ++r)
    for (std::uint8_t index : picture.row(rowFromTop(r))) out[at++] = index;
  return file;
}

}  // namespace orvane::bmp
