// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the BMP loader as the content of the picked file.
//
// Checked for every input, against a verdict worked out here independently:
// - a refused file leaves every cell of the picture buffer as it was (and no
//   picture counts as loaded), with only a compressed file getting a box;
// - an accepted file fills rows 0..80 with the pixel bytes from bfOffBits on,
//   bottom row first, prefixes 0, 144 and every value above 150 cleared to 0;
//   row 81 and column 146 stay untouched.
#include <cstring>

#include "fuzz_support.h"
#include "replace/bmp_format.h"
#include "workflow/load_picture.h"

namespace {

using namespace orvane;
using Buffer = decltype(Stores::pictureBuffer);

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

// A buffer that no loaded picture can produce: bad prefixes, negative values
// and values above 150 everywhere, so that any stray write or repair shows.
ORVANE_FUZZ_UNTRACED void fillWithPattern(Buffer& pictureBuffer) {
  for (std::size_t r = 0; r < pictureBuffer.size(); ++r)
    for (std::size_t c = 0; c < pictureBuffer[r].size(); ++c)
      pictureBuffer[r][c] = static_cast<std::int16_t>(static_cast<int>((r * 31 + c * 7) % 300) - 20);
}

fuzz::Workbench bench;

// An accepted picture: rows 0..80 hold the pixel bytes, bottom row first,
// with prefixes 0, 144 and values above 150 cleared; nothing else changed.
ORVANE_FUZZ_UNTRACED void checkAccepted(const Stores& s, const Buffer& before, const std::uint8_t* data,
                                        std::uint32_t pixelOffset) {
  fuzz::check(s.pictureLoaded, "accepted BMP not marked as loaded");
  bool anyAbove150 = false;
  for (std::size_t r = 0; r < 81; ++r) {
    fuzz::check(s.pictureBuffer[r][0] == 0 && s.pictureBuffer[r][1] == 144, "row prefix not 0, 144", static_cast<long long>(r));
    for (std::size_t c = 0; c < 144; ++c) {
      const std::uint8_t byte = data[pixelOffset + 144 * r + c];
      anyAbove150 |= byte > 150;
      const std::int16_t want = byte > 150 ? 0 : byte;
      fuzz::check(s.pictureBuffer[r][c + 2] == want, "pixel cell differs from the file",
                  static_cast<long long>(r * 1000 + c));
    }
    fuzz::check(s.pictureBuffer[r][146] == before[r][146], "column 146 touched", static_cast<long long>(r));
  }
  fuzz::check(std::memcmp(&s.pictureBuffer[81], &before[81], sizeof before[81]) == 0, "row 81 touched");
  fuzz::check(bench.host.logged("Colours above 150 detected") == anyAbove150, "colour warning wrong");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Workbench::Round round(bench);
  Core& core = round.core();
  Stores& s = core.s;
  fillWithPattern(s.pictureBuffer);
  s.pictureLoaded = false;
  const Buffer before = s.pictureBuffer;

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
    fuzz::check(std::memcmp(&before, &s.pictureBuffer, sizeof before) == 0, "refused BMP changed the picture buffer");
    fuzz::check(!s.pictureLoaded, "refused BMP marked a picture as loaded");
    fuzz::check(bench.host.logged("Bmp is corrupt!"), "refused BMP without the corrupt line");
    return 0;
  }

  checkAccepted(s, before, data, pixelOffset);
  return 0;
}
