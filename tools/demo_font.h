// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A tiny 5 x 7 pixel font for the demo movie's scene numbers: the ten digits.
// Each glyph is drawn as seven rows of five characters, '#' for a set pixel and
// '.' for a clear one, so the shapes can be read and adjusted right here.

namespace orvane::demo {

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;

struct Glyph {
  char ch;
  const char* rows[kGlyphHeight];
};

inline constexpr Glyph kGlyphs[] = {
    {'0', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "#.#..", "..#..", "..#..", "..#..", "#####"}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"####.", "....#", "....#", ".###.", "....#", "....#", "####."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
};

// The glyph for c, or nullptr when the font has none (drawn as a blank).
inline const Glyph* findGlyph(char c) {
  for (const Glyph& g : kGlyphs)
    if (g.ch == c) return &g;
  return nullptr;
}

inline bool glyphPixel(const Glyph& g, int x, int y) { return g.rows[y][x] == '#'; }

}  // namespace orvane::demo
