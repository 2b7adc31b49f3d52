// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/palette_formats.h"

namespace orvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Colour e of the test palettes: red = e, green = 255 - e, blue = (e * 7) % 256 (e taken mod 256).
Rgb colour(int e) {
  return {static_cast<std::int16_t>(e % 256), static_cast<std::int16_t>(255 - e % 256),
          static_cast<std::int16_t>(e * 7 % 256)};
}

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }
void put16(Bytes& b, std::uint32_t v) { b.insert(b.end(), {std::uint8_t(v), std::uint8_t(v >> 8)}); }
void put32(Bytes& b, std::uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}
void append(Bytes& b, const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }

Bytes gimp(int n) {
  std::string s = "GIMP Palette\nName: Test\nColumns: 16\n#\n";
  for (int e = 0; e < n; ++e) {
    const Rgb c = colour(e);
    s += std::to_string(c.r) + " " + std::to_string(c.g) + "\t" + std::to_string(c.b) + "\tEntry " + std::to_string(e) +
         "\n";
  }
  return text(s);
}

Bytes jasc(int n) {
  std::string s = "JASC-PAL\r\n0100\r\n" + std::to_string(n) + "\r\n";
  for (int e = 0; e < n; ++e) {
    const Rgb c = colour(e);
    s += std::to_string(c.r) + " " + std::to_string(c.g) + " " + std::to_string(c.b) + "\r\n";
  }
  return text(s);
}

Bytes riff(int n) {
  Bytes data;
  put16(data, 0x0300);
  put16(data, static_cast<std::uint32_t>(n));
  for (int e = 0; e < n; ++e) {
    const Rgb c = colour(e);
    data.insert(data.end(), {std::uint8_t(c.r), std::uint8_t(c.g), std::uint8_t(c.b), 0});
  }
  Bytes b;
  append(b, "RIFF");
  put32(b, static_cast<std::uint32_t>(4 + 8 + data.size()));
  append(b, "PAL data");
  put32(b, static_cast<std::uint32_t>(data.size()));
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

Bytes act(int used) {
  Bytes b;
  for (int e = 0; e < 256; ++e) {
    const Rgb c = colour(e);
    b.insert(b.end(), {std::uint8_t(c.r), std::uint8_t(c.g), std::uint8_t(c.b)});
  }
  if (used) b.insert(b.end(), {std::uint8_t(used >> 8), std::uint8_t(used), 0xFF, 0xFF});
  return b;
}

// An 8-bit, 2 x 1 BMP with a colour table of n entries (BGR0).
Bytes bmp(int n) {
  Bytes b;
  append(b, "BM");
  put32(b, static_cast<std::uint32_t>(54 + 4 * n + 4));
  put32(b, 0);
  put32(b, static_cast<std::uint32_t>(54 + 4 * n));
  put32(b, 40);
  put32(b, 2);
  put32(b, 1);
  put16(b, 1);
  put16(b, 8);
  put32(b, 0);
  put32(b, 4);
  put32(b, 2835);
  put32(b, 2835);
  put32(b, static_cast<std::uint32_t>(n));
  put32(b, 0);
  for (int e = 0; e < n; ++e) {
    const Rgb c = colour(e);
    b.insert(b.end(), {std::uint8_t(c.b), std::uint8_t(c.g), std::uint8_t(c.r), 0});
  }
  b.insert(b.end(), {1, 2, 0, 0});
  return b;
}

void expectColours(const AnyPalette& p, int n) {
  ASSERT_TRUE(p.parse.status.ok()) << p.parse.status.error().message;
  EXPECT_EQ(p.parse.entriesRead, n);
  for (int e = 0; e < n; ++e) {
    EXPECT_EQ(p.parse.table[e].r, colour(e).r) << e;
    EXPECT_EQ(p.parse.table[e].g, colour(e).g) << e;
    EXPECT_EQ(p.parse.table[e].b, colour(e).b) << e;
  }
  // Entries the file does not hold keep the default colours.
  for (int e = n; e < kPaletteEntries; ++e) EXPECT_EQ(p.parse.table[e].r, defaultPalette()[e].r) << e;
}

TEST(PaletteFormats, EachFormatIsToldByItsBytesAndReadEntryForEntry) {
  struct Case {
    const char* name;
    Bytes bytes;
    PaletteFormat format;
    int entries;
  };
  const Case cases[] = {
      {"a.gpl", gimp(151), PaletteFormat::Gimp, 151},   {"a.gpl", gimp(300), PaletteFormat::Gimp, 256},
      {"a.pal", jasc(256), PaletteFormat::Jasc, 256},   {"b.pal", riff(16), PaletteFormat::Riff, 16},
      {"a.ACT", act(0), PaletteFormat::Act, 256},       {"a.act", act(40), PaletteFormat::Act, 40},
      {"table.bmp", bmp(256), PaletteFormat::Bmp, 256}, {"small.bmp", bmp(20), PaletteFormat::Bmp, 20},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + paletteFormatName(c.format));
    const AnyPalette p = parseAnyPalette(c.bytes, c.name);
    EXPECT_EQ(p.format, c.format);
    expectColours(p, c.entries);
  }
}

TEST(PaletteFormats, OrvaneTextStaysTheDefaultEvenWhenItCouldBeMistaken) {
  // A text palette whose first entry's ignored field starts like a BMP, and
  // 768 bytes of text named .txt, are still text.
  std::string s;
  for (int e = 0; e < 256; ++e) {
    const Rgb c = colour(e);
    s += (e == 0 ? "BMgrey" : "c") + std::string(",") + std::to_string(c.r) + "," + std::to_string(c.g) + "," +
         std::to_string(c.b) + "\r\n";
  }
  const AnyPalette p = parseAnyPalette(text(s), "mine.palette");
  EXPECT_EQ(p.format, PaletteFormat::OrvaneText);
  expectColours(p, 256);
  EXPECT_EQ(detectPaletteFormat(Bytes(768, '1'), "x.txt"), PaletteFormat::OrvaneText);
}

TEST(PaletteFormats, ADamagedFileIsRefusedWholeNamingItAndWhy) {
  Bytes badGimp = gimp(4);
  append(badGimp, "12 x 7 broken\n");
  Bytes shortJasc = jasc(10);
  shortJasc.resize(shortJasc.size() - 12);
  Bytes cutRiff = riff(16);
  cutRiff.resize(cutRiff.size() - 8);
  Bytes cutBmp = bmp(256);
  cutBmp.resize(200);
  Bytes deepBmp = bmp(0);
  deepBmp[28] = 24;
  const std::pair<const char*, Bytes> cases[] = {{"bad.gpl", badGimp},  {"short.pal", shortJasc},
                                                 {"cut.pal", cutRiff},  {"cut.bmp", cutBmp},
                                                 {"deep.bmp", deepBmp}, {"empty.gpl", text("GIMP Palette\n")}};
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    const AnyPalette p = parseAnyPalette(bytes, name);
    ASSERT_FALSE(p.parse.status.ok());
    EXPECT_EQ(p.parse.status.error().code, ErrorCode::PaletteDamaged);
    EXPECT_NE(p.parse.status.error().message.find(name), std::string::npos) << p.parse.status.error().message;
    EXPECT_EQ(p.parse.entriesRead, 0);
    EXPECT_EQ(p.parse.table[200].r, defaultPalette()[200].r);
  }
}

}  // namespace
}  // namespace orvane
