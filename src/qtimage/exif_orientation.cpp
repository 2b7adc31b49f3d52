// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtimage/exif_orientation.h"

#include <cstddef>
#include <cstring>

namespace orvane::qtimage {

namespace {

constexpr std::uint8_t kExif[6] = {'E', 'x', 'i', 'f', 0, 0};

bool startsWithExif(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= 6 && std::memcmp(bytes.data(), kExif, 6) == 0;
}

// The tag from the TIFF structure itself (its header first).
int orientationInTiff(std::span<const std::uint8_t> tiff) {
  if (tiff.size() < 8) return 1;
  bool bigEndian;
  if (tiff[0] == 'I' && tiff[1] == 'I')
    bigEndian = false;
  else if (tiff[0] == 'M' && tiff[1] == 'M')
    bigEndian = true;
  else
    return 1;
  const auto u16 = [&](std::size_t at) -> std::uint32_t {
    return bigEndian ? (tiff[at] << 8) | tiff[at + 1] : tiff[at] | (tiff[at + 1] << 8);
  };
  const auto u32 = [&](std::size_t at) -> std::uint32_t {
    return bigEndian ? (u16(at) << 16) | u16(at + 2) : u16(at) | (u16(at + 2) << 16);
  };
  if (u16(2) != 42) return 1;
  const std::size_t ifd = u32(4);
  if (ifd > tiff.size() || tiff.size() - ifd < 2) return 1;
  const std::size_t entries = u16(ifd);
  for (std::size_t i = 0; i < entries; ++i) {
    const std::size_t at = ifd + 2 + 12 * i;
    if (at + 12 > tiff.size()) return 1;
    if (u16(at) != 0x0112) continue;
    if (u16(at + 2) != 3 || u32(at + 4) != 1) return 1;  // one SHORT
    const std::uint32_t value = u16(at + 8);
    return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
  }
  return 1;
}

}  // namespace

int exifOrientation(std::span<const std::uint8_t> app1) {
  return startsWithExif(app1) ? orientationInTiff(app1.subspan(6)) : 1;
}

int tiffOrientation(std::span<const std::uint8_t> exif) {
  return orientationInTiff(startsWithExif(exif) ? exif.subspan(6) : exif);
}

}  // namespace orvane::qtimage
