// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the demo movie: sixteen scene cards stored as preview records, with
// movie-like filler (chunk headers, text, pseudo-random data) around them.
// Every byte is computed here from fixed seeds, so the file is identical on
// every run. One card carries a damaged row prefix in a later row, so that
// opening the movie exercises the row repair.
//
// Usage: orvane-demo-movie <output file>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "demo_font.h"
#include "display/palette.h"
#include "previews/record_format.h"
#include "sample_data.h"
#include "shell/platform.h"
#include "shell/utf8_path.h"

namespace {

namespace rec = orvane::record;

using Bytes = std::vector<std::uint8_t>;

constexpr int kWidth = rec::kPixelsPerRow;
constexpr int kHeight = rec::kRows;
constexpr int kScenes = 16;

// The card whose record gets one wrong row prefix, and the row it is in.
constexpr int kDamagedScene = 5;
constexpr int kDamagedRow = 40;

// Colours come from the palette's layout. Cards never use index 0: with no
// zero byte among the pixels, the pair 0x00 0x90 can only occur at a row prefix.

using orvane::Hue;
using enum orvane::Hue;
using orvane::sample::Rng;

constexpr std::uint8_t shade(Hue h, int s) { return static_cast<std::uint8_t>(orvane::shadeEntry(h, s)); }
constexpr std::uint8_t hueBase(Hue h) { return shade(h, 0); }
constexpr std::uint8_t grey(int level) { return static_cast<std::uint8_t>(orvane::greyEntry(level)); }

constexpr std::uint8_t kWhite = grey(orvane::kGreys - 1);
constexpr std::uint8_t kInk = grey(1);  // the darkest colour a card uses

// ---------------------------------------------------------------------------
// A 144 x 81 card of palette indices with a few filled shapes. Shapes test
// pixel centres, so edges come out the same at every position.

class Card {
 public:
  std::uint8_t at(int x, int y) const { return px_[y][x]; }

  void set(int x, int y, std::uint8_t c) {
    if (x >= 0 && x < kWidth && y >= 0 && y < kHeight) px_[y][x] = c;
  }

  // Rows y0..y1-1 run from shade level `from` to `to` of the ramp starting at
  // `base`; levels between two entries are mixed with an ordered dither.
  void gradient(int y0, int y1, std::uint8_t base, double from, double to) {
    static constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    const double lo = from < to ? from : to;
    const double hi = from < to ? to : from;
    for (int y = y0; y < y1; ++y) {
      const double t = y1 - y0 > 1 ? static_cast<double>(y - y0) / (y1 - y0 - 1) : 0.0;
      const double level = from + (to - from) * t;
      for (int x = 0; x < kWidth; ++x) {
        double v = level + (kBayer[y & 3][x & 3] + 0.5) / 16.0 - 0.5;
        v = v < lo ? lo : (v > hi ? hi : v);
        set(x, y, static_cast<std::uint8_t>(base + static_cast<int>(v + 0.5)));
      }
    }
  }

  void rect(int x0, int y0, int x1, int y1, std::uint8_t c) {
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) set(x, y, c);
  }

  void ellipse(double cx, double cy, double rx, double ry, std::uint8_t c) {
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        if (inEllipse(x, y, cx, cy, rx, ry)) set(x, y, c);
  }

  void disc(double cx, double cy, double r, std::uint8_t c) { ellipse(cx, cy, r, r, c); }

  // The band between two concentric ellipses, whole or only its upper or lower
  // half: a planet's ring is drawn as the upper half behind the planet and the
  // lower half in front of it.
  enum class Half { Whole, Upper, Lower };
  void ringBand(double cx, double cy, double rx, double ry, double width, Half half, std::uint8_t c) {
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const bool upper = y + 0.5 < cy;
        if ((half == Half::Upper && !upper) || (half == Half::Lower && upper)) continue;
        if (inEllipse(x, y, cx, cy, rx, ry) && !inEllipse(x, y, cx, cy, rx - width, ry - width * ry / rx))
          set(x, y, c);
      }
  }

  // A crescent: the disc at (cx, cy) without the disc shifted by (dx, dy).
  void crescent(double cx, double cy, double r, double dx, double dy, std::uint8_t c) {
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        if (inEllipse(x, y, cx, cy, r, r) && !inEllipse(x, y, cx + dx, cy + dy, r, r)) set(x, y, c);
  }

  void triangle(double ax, double ay, double bx, double by, double cx, double cy, std::uint8_t c) {
    auto edge = [](double px, double py, double qx, double qy, double x, double y) {
      return (qx - px) * (y - py) - (qy - py) * (x - px);
    };
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const double fx = x + 0.5, fy = y + 0.5;
        const double e0 = edge(ax, ay, bx, by, fx, fy);
        const double e1 = edge(bx, by, cx, cy, fx, fy);
        const double e2 = edge(cx, cy, ax, ay, fx, fy);
        if ((e0 >= 0 && e1 >= 0 && e2 >= 0) || (e0 <= 0 && e1 <= 0 && e2 <= 0)) set(x, y, c);
      }
  }

  // Single-pixel stars above row `below`, a few of them in the brighter colour.
  void stars(Rng& rng, int count, int below, std::uint8_t dim, std::uint8_t bright) {
    for (int i = 0; i < count; ++i) {
      const int x = rng.below(kWidth), y = rng.below(below);
      set(x, y, i % 4 == 0 ? bright : dim);
    }
  }

  // Text in the built-in font, each font pixel `scale` pixels square, the
  // letters `scale` pixels apart, with a one-pixel dark outline all round so it
  // reads on any background.
  void label(std::string_view text, int left, int top, int scale, std::uint8_t ink) {
    using orvane::demo::kGlyphHeight;
    using orvane::demo::kGlyphWidth;
    const int width = static_cast<int>(text.size()) * (kGlyphWidth + 1) * scale - scale;
    const int height = kGlyphHeight * scale;
    std::vector<bool> mask(static_cast<std::size_t>(width * height), false);
    for (std::size_t i = 0; i < text.size(); ++i) {
      const auto* glyph = orvane::demo::findGlyph(text[i]);
      if (!glyph) continue;
      const int gx = static_cast<int>(i) * (kGlyphWidth + 1) * scale;
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < kGlyphWidth * scale; ++x)
          if (orvane::demo::glyphPixel(*glyph, x / scale, y / scale))
            mask[static_cast<std::size_t>(y * width + gx + x)] = true;
    }
    auto inside = [&](int x, int y) {
      return x >= 0 && x < width && y >= 0 && y < height && mask[static_cast<std::size_t>(y * width + x)];
    };
    for (int y = -1; y <= height; ++y)
      for (int x = -1; x <= width; ++x) {
        if (inside(x, y)) {
          set(left + x, top + y, ink);
          continue;
        }
        bool nearInk = false;
        for (int dy = -1; dy <= 1 && !nearInk; ++dy)
          for (int dx = -1; dx <= 1 && !nearInk; ++dx) nearInk = inside(x + dx, y + dy);
        if (nearInk) set(left + x, top + y, kInk);
      }
  }

 private:
  static bool inEllipse(int x, int y, double cx, double cy, double rx, double ry) {
    if (rx <= 0 || ry <= 0) return false;
    const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
    return dx * dx + dy * dy <= 1.0;
  }

  std::uint8_t px_[kHeight][kWidth] = {};
};

// ---------------------------------------------------------------------------
// The sixteen scenes. Each has a background ramp in its own hue (the last one
// in greys), a few shapes, and leaves the top-left corner fairly quiet for the
// scene number.

void sunset(Card& c, Rng&) {
  c.gradient(0, 58, hueBase(Red), 1, 7);
  c.disc(104, 56, 19, shade(Orange, 6));
  c.disc(104, 56, 14, shade(Yellow, 7));
  c.gradient(56, 81, hueBase(Purple), 2, 0);
  c.ellipse(36, 66, 52, 12, shade(Purple, 1));
  c.ellipse(120, 74, 48, 12, shade(Purple, 0));
}

void desert(Card& c, Rng&) {
  c.gradient(0, 81, hueBase(Orange), 4, 8);
  c.disc(120, 16, 9, shade(Yellow, 8));
  c.ellipse(30, 84, 70, 26, shade(Amber, 6));
  c.ellipse(120, 88, 60, 28, shade(Amber, 5));
  c.triangle(58, 62, 84, 30, 110, 62, shade(Amber, 7));
  c.triangle(84, 30, 110, 62, 92, 62, shade(Amber, 4));
  c.triangle(98, 64, 114, 44, 130, 64, shade(Amber, 6));
  c.triangle(114, 44, 130, 64, 119, 64, shade(Amber, 3));
}

void farmhouse(Card& c, Rng&) {
  c.gradient(0, 58, hueBase(Amber), 8, 5);
  c.gradient(58, 81, hueBase(Green), 5, 2);
  c.rect(78, 40, 112, 64, shade(Red, 5));
  c.triangle(74, 41, 95, 24, 116, 41, shade(Red, 2));
  c.rect(90, 50, 98, 64, shade(Amber, 1));
  c.rect(81, 46, 87, 52, shade(Yellow, 8));
  c.rect(102, 46, 108, 52, shade(Yellow, 8));
  c.rect(126, 46, 130, 62, shade(Amber, 1));
  c.disc(128, 40, 9, shade(Green, 3));
}

void beach(Card& c, Rng& rng) {
  c.gradient(0, 48, hueBase(Yellow), 8, 6);
  c.gradient(48, 62, hueBase(Blue), 6, 3);
  for (int i = 0; i < 14; ++i) {
    const int x = rng.below(kWidth - 8), y = 50 + rng.below(11);
    c.rect(x, y, x + 5, y + 1, shade(Blue, 7));
  }
  c.gradient(62, 81, hueBase(Yellow), 7, 5);
  c.disc(118, 18, 10, kWhite);
  c.rect(90, 50, 92, 74, grey(6));
  c.ringBand(91, 52, 20, 12, 20, Card::Half::Upper, shade(Rose, 5));
  c.triangle(76, 52, 86, 40, 84, 52, shade(Rose, 7));
}

void meadow(Card& c, Rng&) {
  c.gradient(0, 81, hueBase(Lime), 8, 4);
  c.disc(124, 14, 8, shade(Yellow, 8));
  c.ellipse(40, 80, 80, 30, shade(Green, 5));
  c.ellipse(124, 84, 60, 32, shade(Green, 4));
  const int trees[][3] = {{60, 50, 9}, {84, 56, 7}, {110, 52, 10}, {132, 60, 6}};
  for (const auto& t : trees) {
    c.rect(t[0] - 1, t[1], t[0] + 2, t[1] + t[2] + 4, shade(Amber, 1));
    c.disc(t[0] + 0.5, t[1], t[2], shade(Green, 2));
    c.disc(t[0] - t[2] / 3.0, t[1] - t[2] / 3.0, t[2] / 2.0, shade(Green, 3));
  }
}

void forest(Card& c, Rng& rng) {
  c.gradient(0, 81, hueBase(Green), 7, 2);
  c.disc(112, 16, 8, shade(Lime, 8));
  for (int i = 0; i < 11; ++i) {
    const double x = 8 + i * 13 + rng.below(6);
    const double h = 26 + rng.below(22);
    const double base = 70 + rng.below(8);
    const std::uint8_t col = i % 2 ? shade(Green, 0) : shade(Jade, 1);
    c.rect(static_cast<int>(x) - 1, static_cast<int>(base), static_cast<int>(x) + 2, 81, shade(Amber, 0));
    c.triangle(x - h / 3, base, x + 0.5, base - h, x + 1 + h / 3, base, col);
  }
  c.rect(0, 78, kWidth, 81, shade(Green, 1));
}

void mountainLake(Card& c, Rng&) {
  c.gradient(0, 54, hueBase(Jade), 4, 8);
  c.triangle(40, 54, 82, 14, 124, 54, grey(7));
  c.triangle(82, 14, 124, 54, 92, 54, grey(5));
  c.triangle(74, 22, 82, 14, 90, 22, kWhite);
  c.triangle(90, 54, 120, 28, 150, 54, grey(9));
  c.triangle(114, 33, 120, 28, 126, 33, kWhite);
  c.gradient(54, 81, hueBase(Teal), 6, 2);
  for (int y = 58; y < 78; y += 4) c.rect(70 - (y - 54), y, 94 + (y - 54), y + 1, shade(Teal, 7));
}

void underwater(Card& c, Rng& rng) {
  c.gradient(0, 81, hueBase(Teal), 7, 1);
  for (int i = 0; i < 9; ++i) {
    const double x = 60 + rng.below(80), y = 6 + rng.below(40), r = 1.5 + rng.below(3);
    c.ringBand(x, y, r, r, 1.0, Card::Half::Whole, shade(Cyan, 8));
  }
  c.ellipse(74, 52, 16, 8, shade(Orange, 5));
  c.triangle(58, 52, 48, 44, 48, 60, shade(Orange, 4));
  c.disc(83, 50, 2, kWhite);
  c.set(84, 50, kInk);
  c.ellipse(116, 30, 9, 5, shade(Yellow, 6));
  c.triangle(125, 30, 132, 25, 132, 35, shade(Yellow, 5));
  c.set(111, 29, kInk);
  for (int i = 0; i < 5; ++i) {
    const int x = 12 + i * 8;
    c.ellipse(x, 81, 2.5, 22 + (i % 3) * 4, shade(Green, 3 + i % 2));
  }
  c.ellipse(100, 84, 60, 8, shade(Amber, 5));
}

void icebergs(Card& c, Rng& rng) {
  c.gradient(0, 52, hueBase(Cyan), 5, 8);
  c.gradient(52, 81, hueBase(Blue), 3, 1);
  c.triangle(66, 52, 92, 18, 118, 52, kWhite);
  c.triangle(92, 18, 118, 52, 100, 52, shade(Cyan, 7));
  c.triangle(62, 52, 92, 76, 122, 52, shade(Blue, 4));
  c.triangle(112, 52, 128, 34, 142, 52, grey(14));
  c.triangle(108, 52, 128, 64, 144, 52, shade(Blue, 4));
  for (int i = 0; i < 8; ++i) {
    const int x = rng.below(60), y = 56 + rng.below(22);
    c.rect(x, y, x + 6, y + 1, shade(Blue, 5));
  }
}

void sailing(Card& c, Rng& rng) {
  c.gradient(0, 54, hueBase(Sky), 4, 8);
  c.gradient(54, 81, hueBase(Blue), 5, 2);
  const double cloud[][2] = {{56, 16}, {64, 12}, {72, 17}, {64, 18}};
  for (const auto& p : cloud) c.disc(p[0], p[1], 6, grey(14));
  c.disc(126, 14, 8, shade(Yellow, 8));
  c.triangle(96, 52, 96, 16, 122, 52, kWhite);
  c.triangle(94, 52, 94, 22, 78, 52, grey(13));
  c.rect(94, 16, 96, 56, shade(Amber, 1));
  c.triangle(74, 54, 80, 62, 80, 54, shade(Red, 2));
  c.rect(80, 54, 116, 62, shade(Red, 2));
  c.triangle(116, 54, 116, 62, 126, 54, shade(Red, 2));
  for (int i = 0; i < 10; ++i) {
    const int x = rng.below(kWidth - 8), y = 64 + rng.below(15);
    c.rect(x, y, x + 7, y + 1, shade(Blue, 6));
  }
}

void cityNight(Card& c, Rng& rng) {
  c.gradient(0, 81, hueBase(Blue), 0, 4);
  c.stars(rng, 24, 30, grey(10), kWhite);
  c.disc(116, 15, 8, grey(14));
  // left, top, width
  const int towers[][3] = {{44, 56, 12},  {58, 36, 14},  {74, 48, 10}, {86, 28, 13},
                           {101, 44, 12}, {115, 52, 10}, {127, 40, 17}};
  for (const auto& t : towers) {
    c.rect(t[0], t[1], t[0] + t[2], 81, shade(Indigo, 0));
    for (int y = t[1] + 3; y < 78; y += 5)
      for (int x = t[0] + 2; x + 2 <= t[0] + t[2] - 1; x += 4)
        if (rng.below(3) != 0) c.rect(x, y, x + 2, y + 2, shade(Yellow, 7));
  }
  c.rect(0, 76, kWidth, 81, grey(2));
}

void starryHills(Card& c, Rng& rng) {
  c.gradient(0, 81, hueBase(Indigo), 0, 5);
  c.stars(rng, 60, 60, grey(11), kWhite);
  c.crescent(110, 20, 11, -5, -3, shade(Yellow, 8));
  c.ellipse(30, 88, 70, 24, shade(Green, 0));
  c.ellipse(118, 92, 64, 28, shade(Jade, 0));
}

void ranges(Card& c, Rng&) {
  c.gradient(0, 81, hueBase(Violet), 8, 5);
  c.disc(100, 22, 10, shade(Rose, 8));
  c.triangle(20, 81, 70, 26, 120, 81, shade(Violet, 4));
  c.triangle(80, 81, 126, 30, 172, 81, shade(Violet, 4));
  c.triangle(-10, 81, 40, 44, 90, 81, shade(Violet, 2));
  c.triangle(60, 81, 100, 46, 140, 81, shade(Violet, 2));
  c.triangle(30, 81, 66, 58, 102, 81, shade(Violet, 0));
  c.triangle(104, 81, 134, 60, 164, 81, shade(Violet, 0));
}

void planet(Card& c, Rng& rng) {
  c.gradient(0, 81, hueBase(Purple), 0, 3);
  c.stars(rng, 50, kHeight, grey(10), kWhite);
  constexpr double cx = 96, cy = 44, r = 22;
  c.ringBand(cx, cy, 40, 10, 4, Card::Half::Upper, shade(Amber, 7));
  c.disc(cx, cy, r, shade(Orange, 5));
  // Cloud bands across the disc, each as wide as the disc at its height.
  struct Band { double dy, halfHeight; int shade; };
  const Band bands[] = {{-9, 2.5, 7}, {3, 2, 3}, {12, 1.5, 6}};
  for (const auto& b : bands)
    c.ellipse(cx, cy + b.dy, std::sqrt(r * r - b.dy * b.dy) - 0.5, b.halfHeight, shade(Orange, b.shade));
  c.ringBand(cx, cy, 40, 10, 4, Card::Half::Lower, shade(Amber, 7));
  c.disc(34, 62, 5, grey(12));
  c.disc(32, 60, 1.5, grey(14));
}

void balloons(Card& c, Rng&) {
  c.gradient(0, 81, hueBase(Rose), 8, 5);
  c.ellipse(24, 66, 18, 5, kWhite);
  c.ellipse(126, 20, 16, 4, kWhite);
  struct Balloon { double x, y, r; Hue hue; };
  const Balloon list[] = {{70, 30, 13, Red}, {106, 44, 10, Sky}, {128, 58, 7, Yellow}};
  for (const auto& b : list) {
    c.triangle(b.x - b.r * 0.8, b.y + b.r * 0.5, b.x, b.y + b.r * 1.55, b.x + b.r * 0.8, b.y + b.r * 0.5,
               shade(b.hue, 4));
    c.disc(b.x, b.y, b.r, shade(b.hue, 4));
    c.ellipse(b.x, b.y, b.r * 0.4, b.r, shade(b.hue, 7));
    const int basket = static_cast<int>(b.y + b.r * 1.9);
    c.rect(static_cast<int>(b.x - b.r * 0.25), basket, static_cast<int>(b.x + b.r * 0.25) + 1,
           basket + static_cast<int>(b.r * 0.3) + 1, shade(Amber, 1));
  }
}

void stage(Card& c, Rng&) {
  c.gradient(0, 64, grey(0), 2, 5);  // the greys ramp starts at entry 0
  c.triangle(72, -4, 50, 64, 118, 64, grey(9));
  c.ellipse(84, 68, 30, 6, grey(13));
  c.gradient(64, 81, hueBase(Amber), 3, 1);
  // Curtains in folds of three pixels, hanging a little lower towards the middle.
  auto fold = [](int x) { return shade(Red, x % 6 < 3 ? 3 : 2); };
  for (int x = 0; x < 34; ++x) c.rect(x, 0, x + 1, 72 - x / 3, fold(x));
  for (int x = 110; x < kWidth; ++x) c.rect(x, 0, x + 1, 72 - (kWidth - x) / 3, fold(x));
  c.rect(0, 0, kWidth, 5, shade(Red, 1));
  c.disc(84, 52, 5, shade(Yellow, 7));
  c.rect(81, 56, 88, 68, shade(Blue, 4));
}

using Painter = void (*)(Card&, Rng&);

struct Scene {
  Painter paint;
  const char* title;
};

constexpr Scene kSceneList[kScenes] = {
    {sunset, "Sunset over the hills"},       {desert, "Pyramids at noon"},
    {farmhouse, "Farmhouse at golden hour"}, {beach, "A day at the beach"},
    {meadow, "Meadow with trees"},           {forest, "Into the pine forest"},
    {mountainLake, "Mountain lake"},         {underwater, "Under the sea"},
    {icebergs, "Icebergs"},                  {sailing, "Sailing"},
    {cityNight, "City at night"},            {starryHills, "Starry hills"},
    {ranges, "Violet ranges"},               {planet, "The ringed planet"},
    {balloons, "Balloon festival"},          {stage, "Curtain call"},
};

Card paintCard(int number) {
  Card card;
  Rng rng(0xC0FFEEu + static_cast<std::uint32_t>(number) * 7919u);
  kSceneList[number - 1].paint(card, rng);
  const std::string digits = std::to_string(number);
  card.label(digits, 5, 5, 3, kWhite);
  return card;
}

// ---------------------------------------------------------------------------
// The movie bytes. Filler is organised as tagged chunks (four letters, a
// little-endian length, the payload), the way a container file might look.

class MovieWriter {
 public:
  const Bytes& bytes() const { return out_; }
  const std::vector<std::size_t>& recordStarts() const { return records_; }

  void text(std::string_view s) { out_.insert(out_.end(), s.begin(), s.end()); }
  void u8(std::uint8_t v) { out_.push_back(v); }
  void le16(std::uint16_t v) {
    u8(static_cast<std::uint8_t>(v));
    u8(static_cast<std::uint8_t>(v >> 8));
  }
  void le32(std::uint32_t v) {
    le16(static_cast<std::uint16_t>(v));
    le16(static_cast<std::uint16_t>(v >> 16));
  }

  // Pseudo-random bytes that never complete a row prefix (0x00 0x90) or a
  // record trailer (0x01 0x00 0x03) with what precedes them.
  void noise(Rng& rng, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
      std::uint8_t b;
      do b = static_cast<std::uint8_t>(rng.next() >> 11);
      while (completesPattern(b));
      out_.push_back(b);
    }
  }

  std::size_t beginChunk(const char (&tag)[5]) {
    text(std::string_view(tag, 4));
    const std::size_t at = out_.size();
    le32(0);
    return at;
  }
  void endChunk(std::size_t lengthAt) {
    const auto length = static_cast<std::uint32_t>(out_.size() - lengthAt - 4);
    for (std::size_t i = 0; i < 4; ++i) out_[lengthAt + i] = static_cast<std::uint8_t>(length >> (8 * i));
  }

  // The card as a preview record; row `damagedRow` (if any, -1 for none) gets
  // the prefix 0x00 0x91 instead of 0x00 0x90.
  void record(const Card& card, int damagedRow) {
    records_.push_back(out_.size());
    for (int y = 0; y < kHeight; ++y) {
      u8(rec::kPrefix0);
      u8(y == damagedRow ? rec::kPrefix1 + 1 : rec::kPrefix1);
      for (int x = 0; x < kWidth; ++x) u8(card.at(x, y));
    }
    for (std::uint8_t b : rec::kTrailer) u8(b);
  }

 private:
  bool completesPattern(std::uint8_t b) const {
    const std::size_t n = out_.size();
    if (n >= 1 && out_[n - 1] == rec::kPrefix0 && b == rec::kPrefix1) return true;
    return n >= 2 && out_[n - 2] == rec::kTrailer[0] && out_[n - 1] == rec::kTrailer[1] &&
           b == rec::kTrailer[2];
  }

  Bytes out_;
  std::vector<std::size_t> records_;
};

void writeHeader(MovieWriter& w, Rng& rng) {
  const auto head = w.beginChunk("HEAD");
  w.text("DEMO MOVIE");
  w.u8(0);
  w.le16(3);        // format revision
  w.le16(kScenes);  // scene count
  w.le16(12);       // frames per second
  w.text("preview 144x81 8bpp");
  w.u8(0);
  w.endChunk(head);

  const auto info = w.beginChunk("INFO");
  w.text("title=Orvane demo movie\r\n"
         "author=the Orvane developers\r\n"
         "note=sixteen scene cards for trying out the preview grid\r\n");
  w.endChunk(info);

  const auto pad = w.beginChunk("FREE");
  w.noise(rng, 300 + static_cast<std::size_t>(rng.below(400)));
  w.endChunk(pad);
}

// What precedes scene n's preview: a scene chunk with its title and timing,
// some shot notes, and a block of key-frame data of varying length.
void writeSceneFiller(MovieWriter& w, Rng& rng, int n) {
  const auto scene = w.beginChunk("SCNE");
  w.le16(static_cast<std::uint16_t>(n));
  w.le16(static_cast<std::uint16_t>(48 + rng.below(200)));  // length in frames
  w.text(kSceneList[n - 1].title);
  w.u8(0);
  w.endChunk(scene);

  if (n % 3 != 0) {
    const auto shots = w.beginChunk("SHOT");
    const int count = 1 + rng.below(4);
    static const char* const kMoves[] = {"pan left", "pan right", "zoom in", "zoom out", "hold", "tilt up"};
    for (int i = 1; i <= count; ++i)
      w.text("shot " + std::to_string(i) + ": camera " + kMoves[rng.below(6)] + ", " +
             std::to_string(12 + rng.below(60)) + " frames\r\n");
    w.endChunk(shots);
  }

  const auto keys = w.beginChunk("KEYS");
  w.noise(rng, 20 + static_cast<std::size_t>(rng.below(n % 4 == 0 ? 3000 : 900)));
  w.endChunk(keys);

  if (n % 5 == 2) {
    const auto sound = w.beginChunk("SNDS");
    w.text("music=theme");
    w.u8(0);
    w.noise(rng, 64 + static_cast<std::size_t>(rng.below(512)));
    w.endChunk(sound);
  }
}

void writeTail(MovieWriter& w, Rng& rng) {
  const auto end = w.beginChunk("ENDM");
  w.noise(rng, 100 + static_cast<std::size_t>(rng.below(200)));
  w.text("end of movie\r\n");
  w.endChunk(end);
}

Bytes buildMovie(std::vector<std::size_t>& starts) {
  MovieWriter w;
  Rng rng(20240611u);
  writeHeader(w, rng);
  for (int n = 1; n <= kScenes; ++n) {
    writeSceneFiller(w, rng, n);
    const auto preview = w.beginChunk("PREV");
    w.record(paintCard(n), n == kDamagedScene ? kDamagedRow : -1);
    w.endChunk(preview);
  }
  writeTail(w, rng);
  starts = w.recordStarts();
  return w.bytes();
}

// Checks the finished file byte by byte: the signature must match at exactly
// the records written, the pair 0x00 0x90 must occur only at their row
// prefixes, and every pixel must be a palette index 1..150 (0 is kept out of
// the cards, see the palette notes above).
bool verify(const Bytes& movie, const std::vector<std::size_t>& starts) {
  std::vector<bool> prefixAt(movie.size(), false), recordAt(movie.size(), false);
  for (std::size_t s : starts) {
    recordAt[s] = true;
    for (int y = 0; y < kHeight; ++y) {
      prefixAt[s + static_cast<std::size_t>(y * rec::kRowBytes)] = true;
      for (int x = 0; x < kWidth; ++x) {
        const std::uint8_t v = movie[s + static_cast<std::size_t>(y * rec::kRowBytes + 2 + x)];
        if (v == 0 || v > 150) {
          std::fprintf(stderr, "demo movie: pixel value %d in the record at %zu\n", v, s);
          return false;
        }
      }
    }
  }
  bool ok = true;
  for (std::size_t p = 0; p + 1 < movie.size(); ++p) {
    const bool pair = movie[p] == rec::kPrefix0 && movie[p + 1] == rec::kPrefix1;
    if (pair && !prefixAt[p]) {
      std::fprintf(stderr, "demo movie: stray 00 90 at offset %zu\n", p);
      ok = false;
    }
    const bool match = p + rec::kRecordBytes <= movie.size() && rec::signatureAt(movie.data() + p);
    if (match != recordAt[p]) {
      std::fprintf(stderr, "demo movie: %s at offset %zu\n",
                   match ? "unintended record signature" : "record not recognised", p);
      ok = false;
    }
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  // The output's name as UTF-8, whole even on Windows.
  const std::vector<std::string> args = orvane::programArguments(argc, argv);
  if (args.size() != 2) {
    std::fprintf(stderr, "usage: orvane-demo-movie <output file>\n");
    return 2;
  }
  std::vector<std::size_t> starts;
  const Bytes movie = buildMovie(starts);
  if (!verify(movie, starts)) return 1;

  std::ofstream out(orvane::pathFromUtf8(args[1]), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(movie.data()), static_cast<std::streamsize>(movie.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "demo movie: cannot write %s\n", args[1].c_str());
    return 1;
  }
  return 0;
}
