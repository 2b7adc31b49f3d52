// SPDX-License-Identifier: GPL-3.0-or-later
#include "replace/bmp_loader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

#include "replace/bmp_format.h"

namespace orvane {
namespace {

constexpr const char* kRleText =
    "This BMP is RLE (run length encoded), try looking for a option to turn off RLE in your graphics app.";

enum class Verdict { Accepted, Refused, Compressed };

// The header checks, in the order that decides which failure counts. `got` is
// how many of the checked header bytes the file holds: a field that does not
// fit fails its own check.
Verdict checkHeader(std::span<const std::uint8_t> head, std::size_t got, std::uint64_t fileLength,
                    std::uint32_t& pixelOffset) {
  using namespace bmp;
  auto has = [got](std::size_t field, std::size_t width) { return field + width <= got; };

  if (!has(kType, 2) || head[kType] != 'B' || head[kType + 1] != 'M') return Verdict::Refused;
  if (!has(kFileSize, 4) || readLe32(head, kFileSize) != fileLength) return Verdict::Refused;
  if (!has(kHeightField, 4) || readLe32Signed(head, kWidthField) != kWidth ||
      readLe32Signed(head, kHeightField) != kHeight)
    return Verdict::Refused;
  pixelOffset = readLe32(head, kPixelOffset);
  if (!has(kBitCount, 2) || readLe16(head, kBitCount) != kBitsPerPixel) return Verdict::Refused;
  if (!has(kCompression, 4)) return Verdict::Refused;
  if (readLe32(head, kCompression) != 0) return Verdict::Compressed;
  // 64-bit sum of two 32-bit values: cannot overflow.
  if (static_cast<std::uint64_t>(pixelOffset) + kPixelBytes > fileLength) return Verdict::Refused;
  return Verdict::Accepted;
}

Error refused() { return {ErrorCode::BmpRefused, "Not a 144 x 81, 8-bit, uncompressed, bottom-up BMP."}; }

}  // namespace

Result<IndexPicture> readBmp(const std::string& filename, FileLayer& files) {
  auto opened = files.open(filename, OpenMode::Read);
  if (!opened) return opened.error();
  OpenFile& file = **opened;

  const auto fileLength = file.length();
  if (!fileLength) return fileLength.error();

  std::array<std::uint8_t, bmp::kCheckedHeaderBytes> head{};
  const auto got = file.readAt(0, head);
  if (!got) return got.error();

  std::uint32_t pixelOffset = 0;
  switch (checkHeader(head, *got, *fileLength, pixelOffset)) {
    case Verdict::Accepted: break;
    case Verdict::Compressed: return Error{ErrorCode::BmpCompressed, kRleText};
    case Verdict::Refused: return refused();
  }

  // The file may have shrunk since it was measured: only a complete area counts.
  IndexPicture picture;
  static_assert(sizeof picture.index == bmp::kPixelBytes, "rows of 144 bytes lie back to back");
  const auto area = file.readAt(pixelOffset, picture.index);
  if (!area) return area.error();
  if (*area != bmp::kPixelBytes) return refused();
  // Read in file order, bottom row first: turned over in place.
  for (int r = 0; r < bmp::kHeight / 2; ++r)
    std::swap_ranges(picture.row(r).begin(), picture.row(r).end(), picture.row(bmp::rowFromTop(r)).begin());
  return picture;
}

}  // namespace orvane
