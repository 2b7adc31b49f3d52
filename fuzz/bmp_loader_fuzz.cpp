// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the BMP loader as the content of the picked file.
//
// Checked for every input, against a verdict worked out here independently:
// - a refused file leaves every cell of the picture buffer as it was (and no
//   picture counts as loaded), with only a compressed file getting a box;
// - an accepted file fills the picture's rows with the pixel bytes from
//   bfOffBits on, bottom row first, prefixes 0, 144 and every value above 150
//   cleared to 0; the buffer holds nothing beyond those rows to be touched.
#include "fuzz_support.h"
#include "replace/bmp_format.h"
#include "workflow/load_picture.h"

namespace {

using namespace orvane;
using Buffer = RecordPicture;
static_assert(sizeof(Buffer) == 81 * 146, "the picture buffer is the rows and nothing beside them");

enum class Expect { Accept, Refuse, Compressed };

std::uint32_t le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// The loader's rules, written out plainly: every checked field lies in the
// first 34 bytes, so a shorter file is refused whatever it holds.
ORVANE_FUZZ_UNTRACED Expect expected(const std::uint8_t* data, std::size_t size, std::uint32_t& pixelOffset) {
  if (size < 34) return Expect::Refuse;
  if (data[0] != 'B' || data[1] != 'M') return Expect::Refuse;
  if (le32(data + 2) != size) return Expect::Refuse;
  if (le32(data + 18) != 144 || le32(data + 22) != 81) return Expect::Refuse;
  if ((data[28] | data[29] << 8) != 8) return Expect::Refuse;
  if (le32(data + 30) != 0) return Expect::Compressed;
  pixelOffset = le32(data + 10);
  if (std::uint64_t{pixelOffset} + 144 * 81 > size) return Expect::Refuse;
  return Expect::Accept;
}

// A buffer that no loaded picture can produce: bad prefixes and values above
// 150 everywhere, so that any stray write or repair shows.
ORVANE_FUZZ_UNTRACED void fillWithPattern(Buffer& pictureBuffer) {
  for (int y = 0; y < 81; ++y)
    for (int j = 0; j < 146; ++j) pictureBuffer.byte(y, j) = static_cast<std::uint8_t>((y * 31 + j * 7) % 256);
}

fuzz::Workbench bench;

// An accepted picture: its rows hold the pixel bytes, the file's bottom row
// first, with prefixes 0, 144 and values above 150 cleared.
ORVANE_FUZZ_UNTRACED void checkAccepted(const Stores& s, const std::uint8_t* data, std::uint32_t pixelOffset) {
  fuzz::check(s.pictureLoaded, "accepted BMP not marked as loaded");
  bool anyAbove150 = false;
  for (int r = 0; r < 81; ++r) {
    const int y = 80 - r;  // file row r, counted from the bottom
    fuzz::check(s.bufferByte(y, 0) == 0 && s.bufferByte(y, 1) == 144, "row prefix not 0, 144", r);
    for (int c = 0; c < 144; ++c) {
      const std::uint8_t byte = data[pixelOffset + static_cast<std::uint32_t>(144 * r + c)];
      anyAbove150 |= byte > 150;
      const std::uint8_t want = byte > 150 ? 0 : byte;
      fuzz::check(s.bufferPixel(y, c) == want, "pixel cell differs from the file", static_cast<long long>(r * 1000 + c));
    }
  }
  fuzz::check(bench.host.logged("Colours above 150 detected") == anyAbove150, "colour warning wrong");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Workbench::Round round(bench);
  Core& core = round.core();
  Stores& s = core.s;
  fillWithPattern(s.pictureBuffer());
  s.pictureLoaded = false;
  const Buffer before = s.pictureBuffer();

  const std::string name = "Fuzz/Picture.BMP";
  fuzz::MemoryFileLayer files(name, {data, size});
  const bool loaded = loadblimp(core, name, files).ok();

  std::uint32_t pixelOffset = 0;
  const Expect expect = expected(data, size, pixelOffset);
  fuzz::check(loaded == (expect == Expect::Accept), "loader's verdict differs from the header rules",
              static_cast<long long>(expect));
  fuzz::check(bench.host.boxes.size() == (expect == Expect::Compressed ? 1u : 0u),
              "a box shown other than for a compressed file", static_cast<long long>(bench.host.boxes.size()));

  if (!loaded) {
    fuzz::check(s.pictureBuffer() == before, "refused BMP changed the picture buffer");
    fuzz::check(!s.pictureLoaded, "refused BMP marked a picture as loaded");
    fuzz::check(bench.host.logged("Bmp is corrupt!"), "refused BMP without the corrupt line");
    return 0;
  }

  checkAccepted(s, data, pixelOffset);
  return 0;
}
