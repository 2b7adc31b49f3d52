// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shrinking a picture by a whole factor while it is decoded, row by row: each
// block of factor x factor pixels becomes one, averaged in linear light and
// weighted by opacity, then rounded back to an 8-bit sRGB pixel. For readers
// that cannot scale on load themselves (PNG): the decoded picture is held at
// the reduced size only, and the conversion's own area average, which does
// the same arithmetic, has that many fewer pixels to go through. The result
// differs from averaging the whole picture at once by the rounding only.
#include <cstdint>
#include <span>
#include <vector>

namespace orvane::convert {

class BoxReducer {
 public:
  // For rows of `width` RGBA pixels (not premultiplied), shrunk by `factor`
  // (1 or more) into rows of width / factor pixels, rounded up: a last block
  // cut short by the picture's edge averages the pixels it has, so that the
  // shrunk picture covers the whole one, as a JPEG's DCT scaling does.
  BoxReducer(int width, int factor);

  int outputWidth() const { return (width_ + factor_ - 1) / factor_; }
  static int outputSize(int size, int factor) { return (size + factor - 1) / factor; }
  // Takes the next source row. True when it completed an output row, which
  // has then been written to `out` (outputWidth() RGBA pixels).
  bool addRow(const std::uint8_t* rgba, std::span<std::uint8_t> out);
  // After the last source row: true when the rows since the last output row
  // (fewer than `factor`) made one more, then written to `out`.
  bool finish(std::span<std::uint8_t> out);

 private:
  void writeRow(std::span<std::uint8_t> out);

  int width_, factor_;
  int rowsTaken_ = 0;
  std::vector<float> sums_;  // per output pixel: opacity-weighted linear r, g, b, then opacity
};

}  // namespace orvane::convert
