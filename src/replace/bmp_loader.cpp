#include "replace/bmp_loader.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "display/drawing.h"
#include "previews/repair.h"
#include "replace/bmp_format.h"
#include "shell/tags.h"

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

// Reads the header and the pixel area; false when the file is refused.
bool readPicture(Core& core, const std::string& filename, FileLayer& files, std::vector<std::uint8_t>& pixels) {
  std::unique_ptr<OpenFile> file;
  if (files.open(filename, OpenMode::Read, file)) return false;

  std::uint64_t fileLength = 0;
  if (file->length(fileLength)) return false;

  std::array<std::uint8_t, bmp::kCheckedHeaderBytes> head{};
  std::size_t got = 0;
  if (file->readAt(0, head, got)) return false;

  std::uint32_t pixelOffset = 0;
  switch (checkHeader(head, got, fileLength, pixelOffset)) {
    case Verdict::Accepted:
      break;
    case Verdict::Compressed:
      core.host.messageBox(kRleText, "Can't read", BoxIcon::None);
      return false;
    case Verdict::Refused:
      return false;
  }

  // The file may have shrunk since it was measured: only a complete area counts.
  pixels.resize(bmp::kPixelBytes);
  if (file->readAt(pixelOffset, pixels, got) || got != pixels.size()) return false;
  file->close();  // a read-only file has nothing left to lose
  return true;
}

}  // namespace

std::string lowerCasePath(const std::string& path) {
  std::string lower = path;
  for (char& ch : lower)
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  return lower;
}

bool loadblimp(Core& core, const std::string& filename, FileLayer& files) {
  const std::string shown = lowerCasePath(filename);
  core.logline("Opening " + shown + "...", tag::BMPsys);

  std::vector<std::uint8_t> pixels;
  if (!readPicture(core, filename, files, pixels)) {
    core.logline("Bmp is corrupt! (" + shown + ")", tag::BMPsys);
    return false;
  }

  // The file's first row is the bottom of the picture, as is the buffer's row 0.
  Stores& s = core.s;
  for (int r = 0; r < bmp::kHeight; ++r)
    for (int c = 0; c < bmp::kWidth; ++c)
      s.blimp[static_cast<std::size_t>(r)][static_cast<std::size_t>(c + 2)] =
          pixels[static_cast<std::size_t>(bmp::kWidth * r + c)];
  core.logline("Image loaded, checking for errors...", tag::BMPsys);

  repair(core, true);
  s.pictureLoaded = true;
  draw1(core);
  return true;
}

}  // namespace orvane
