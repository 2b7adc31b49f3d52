// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The parts of the Windows BMP format the program reads and writes: the 14-byte
// file header, the 40-byte information header, little-endian fields.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace orvane::bmp {

// The one kind of picture accepted: 144 x 81, 8 bits per pixel, uncompressed,
// bottom-up, rows of exactly 144 bytes (a multiple of four: no padding).
inline constexpr int kWidth = 144;
inline constexpr int kHeight = 81;
inline constexpr int kBitsPerPixel = 8;
inline constexpr std::uint32_t kPixelBytes = kWidth * kHeight;  // 11664
inline constexpr int kMaxColours = 256;

inline constexpr std::uint32_t kFileHeaderBytes = 14;
inline constexpr std::uint32_t kInfoHeaderBytes = 40;
inline constexpr std::uint32_t kHeadersBytes = kFileHeaderBytes + kInfoHeaderBytes;  // 54

// The file keeps the rows bottom first: the picture row, counted from the
// top, that file row r holds (and the file row of picture row r).
inline constexpr int rowFromTop(int r) { return kHeight - 1 - r; }

// Field offsets from the start of the file.
inline constexpr std::size_t kType = 0;          // 2 bytes, "BM"
inline constexpr std::size_t kFileSize = 2;      // 32-bit
inline constexpr std::size_t kPixelOffset = 10;  // 32-bit, first pixel byte
inline constexpr std::size_t kInfoSize = 14;     // 32-bit, 40
inline constexpr std::size_t kWidthField = 18;   // 32-bit signed
inline constexpr std::size_t kHeightField = 22;  // 32-bit signed, negative = top-down
inline constexpr std::size_t kPlanes = 26;       // 16-bit, 1
inline constexpr std::size_t kBitCount = 28;     // 16-bit
inline constexpr std::size_t kCompression = 30;  // 32-bit, 0 = none
inline constexpr std::size_t kImageSize = 34;    // 32-bit
inline constexpr std::size_t kColoursUsed = 46;  // 32-bit
inline constexpr std::size_t kColourTable = kHeadersBytes;

// The loader's fields end with the compression field.
inline constexpr std::size_t kCheckedHeaderBytes = kCompression + 4;  // 34

// Little-endian fields. The caller guarantees the bytes are there.
inline std::uint16_t readLe16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}
inline std::uint32_t readLe32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
         static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
inline std::int32_t readLe32Signed(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::int32_t>(readLe32(b, at));  // two's complement, defined since C++20
}
inline void writeLe16(std::span<std::uint8_t> b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void writeLe32(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace orvane::bmp
