// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/palette_formats.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "shell/file_layer.h"

namespace orvane {
namespace {

using Bytes = std::span<const std::uint8_t>;

bool startsWith(Bytes bytes, std::string_view prefix) {
  return bytes.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), bytes.begin(),
                    [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; });
}

std::uint32_t le16(Bytes b, std::size_t at) { return b[at] | b[at + 1] << 8; }
std::uint32_t le32(Bytes b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

bool endsWithNoCase(std::string_view name, std::string_view suffix) {
  return name.size() >= suffix.size() &&
         std::equal(suffix.begin(), suffix.end(), name.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                    [](char a, char b) {
                      return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
                    });
}

// The BMP header sizes whose colour table follows them directly; the oldest
// (12 bytes) has three-byte entries, the others four.
bool knownBmpHeader(std::uint32_t size) {
  return size == 12 || size == 40 || size == 52 || size == 56 || size == 64 || size == 108 || size == 124;
}

bool looksLikeBmp(Bytes b) { return startsWith(b, "BM") && b.size() >= 26 && knownBmpHeader(le32(b, 14)); }
bool looksLikeRiff(Bytes b) {
  return startsWith(b, "RIFF") && b.size() >= 12 &&
         std::string_view("PAL ") == std::string_view(reinterpret_cast<const char*>(b.data()) + 8, 4);
}
bool looksLikeAct(Bytes b, std::string_view name) {
  return endsWithNoCase(name, ".act") && (b.size() == 768 || b.size() == 772);
}

// Collects the colours of a foreign palette; the first 256 count.
class Collector {
 public:
  void add(int r, int g, int b) {
    if (count_ < kPaletteEntries)
      table_[count_] = {static_cast<std::int16_t>(r), static_cast<std::int16_t>(g), static_cast<std::int16_t>(b)};
    ++count_;
  }
  int count() const { return count_; }
  PaletteParse done() const {
    PaletteParse p;
    p.table = table_;
    p.entriesRead = std::min(count_, kPaletteEntries);
    return p;
  }

 private:
  PaletteTable table_ = defaultPalette();
  int count_ = 0;
};

PaletteParse damaged(std::string_view name, PaletteFormat format, const std::string& why) {
  PaletteParse p;
  p.table = defaultPalette();
  p.failedEntry = 0;
  p.status = Error{ErrorCode::PaletteDamaged, "Palette file " + std::string(name) + " is a damaged " +
                                                  paletteFormatName(format) + ": " + why + "; default colours used."};
  return p;
}

// The lines of a text palette, with their line ends and trailing blanks cut.
std::vector<std::string_view> linesOf(Bytes bytes) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// Up to `wanted` whole numbers 0..255 at the start of a line, separated by
// blanks; what follows them (a colour's name) is ignored.
std::optional<std::vector<int>> leadingNumbers(std::string_view line, int wanted) {
  std::vector<int> numbers;
  std::size_t i = 0;
  while (static_cast<int>(numbers.size()) < wanted) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const std::size_t start = i;
    int value = 0;
    while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])) && i - start < 4)
      value = value * 10 + (line[i++] - '0');
    if (i == start || value > 255) return std::nullopt;
    if (i < line.size() && line[i] != ' ' && line[i] != '\t') return std::nullopt;
    numbers.push_back(value);
  }
  return numbers;
}

PaletteParse readGimp(Bytes bytes, std::string_view name) {
  const auto lines = linesOf(bytes);
  Collector colours;
  for (std::size_t n = 1; n < lines.size(); ++n) {
    const std::string_view line = lines[n];
    const auto first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] == '#') continue;
    if (line.starts_with("Name:") || line.starts_with("Columns:")) continue;
    const auto rgb = leadingNumbers(line, 3);
    if (!rgb) return damaged(name, PaletteFormat::Gimp, "line " + std::to_string(n + 1) + " is not a colour");
    colours.add((*rgb)[0], (*rgb)[1], (*rgb)[2]);
  }
  if (colours.count() == 0) return damaged(name, PaletteFormat::Gimp, "it holds no colours");
  return colours.done();
}

// A count: a whole number of one to four digits, alone on its line.
std::optional<int> countOn(std::string_view line) {
  if (line.empty() || line.size() > 4) return std::nullopt;
  int value = 0;
  for (const char c : line) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

PaletteParse readJasc(Bytes bytes, std::string_view name) {
  const auto lines = linesOf(bytes);
  const auto count = lines.size() > 2 ? countOn(lines[2]) : std::nullopt;
  if (lines.size() < 3 || lines[1] != "0100" || !count)
    return damaged(name, PaletteFormat::Jasc, "its header is not \"JASC-PAL\", \"0100\" and a count");
  const int entries = *count;
  Collector colours;
  for (int e = 0; e < entries; ++e) {
    const std::size_t n = 3 + static_cast<std::size_t>(e);
    const auto rgb = n < lines.size() ? leadingNumbers(lines[n], 3) : std::nullopt;
    if (!rgb)
      return damaged(
          name, PaletteFormat::Jasc,
          "colour " + std::to_string(e) + " of " + std::to_string(entries) + " is missing or not three numbers 0..255");
    colours.add((*rgb)[0], (*rgb)[1], (*rgb)[2]);
  }
  if (entries == 0) return damaged(name, PaletteFormat::Jasc, "it holds no colours");
  return colours.done();
}

PaletteParse readRiff(Bytes b, std::string_view name) {
  std::size_t at = 12;
  while (at + 8 <= b.size()) {
    const std::uint32_t size = le32(b, at + 4);
    if (size > b.size() - at - 8) break;
    if (std::string_view(reinterpret_cast<const char*>(b.data()) + at, 4) == "data") {
      if (size < 4) break;
      const std::uint32_t entries = le16(b, at + 10);
      if (entries == 0 || 4 + 4ull * entries > size) break;
      Collector colours;
      for (std::uint32_t e = 0; e < entries; ++e) {
        const std::size_t p = at + 12 + 4 * e;
        colours.add(b[p], b[p + 1], b[p + 2]);
      }
      return colours.done();
    }
    at += 8 + size + (size & 1);
  }
  return damaged(name, PaletteFormat::Riff, "it has no complete \"data\" chunk of colours");
}

PaletteParse readAct(Bytes b) {
  int entries = kPaletteEntries;
  // The 772-byte form ends with the number of colours used (big-endian) and a
  // transparent index; a count of 0 or above 256 means all 256.
  if (b.size() == 772) {
    const int used = b[768] << 8 | b[769];
    if (used > 0 && used <= kPaletteEntries) entries = used;
  }
  Collector colours;
  for (int e = 0; e < entries; ++e) colours.add(b[3 * e], b[3 * e + 1], b[3 * e + 2]);
  return colours.done();
}

PaletteParse readBmp(Bytes b, std::string_view name) {
  const std::uint32_t header = le32(b, 14);
  const bool core = header == 12;
  if (b.size() < 14 + header) return damaged(name, PaletteFormat::Bmp, "it ends inside its header");
  const std::uint32_t bits = core ? le16(b, 24) : le16(b, 28);
  if (bits != 1 && bits != 4 && bits != 8)
    return damaged(name, PaletteFormat::Bmp, std::to_string(bits) + " bits a pixel carry no colour table");
  std::uint32_t entries = core ? 0 : le32(b, 46);
  if (entries == 0 || entries > (1u << bits)) entries = 1u << bits;
  const std::size_t entrySize = core ? 3 : 4;
  const std::size_t tableStart = 14 + header;
  if (b.size() < tableStart + entrySize * entries)
    return damaged(name, PaletteFormat::Bmp, "its colour table is cut short");
  Collector colours;
  for (std::size_t e = 0; e < entries; ++e) {
    const std::size_t p = tableStart + entrySize * e;
    colours.add(b[p + 2], b[p + 1], b[p]);  // stored blue, green, red
  }
  return colours.done();
}

}  // namespace

const char* paletteFormatName(PaletteFormat format) {
  switch (format) {
    case PaletteFormat::OrvaneText: return "Orvane palette";
    case PaletteFormat::Gimp: return "GIMP palette";
    case PaletteFormat::Jasc: return "JASC palette";
    case PaletteFormat::Riff: return "RIFF palette";
    case PaletteFormat::Act: return "Photoshop colour table";
    case PaletteFormat::Bmp: return "BMP colour table";
  }
  return "palette";
}

PaletteFormat detectPaletteFormat(Bytes bytes, std::string_view name) {
  if (startsWith(bytes, "GIMP Palette")) return PaletteFormat::Gimp;
  if (startsWith(bytes, "JASC-PAL")) return PaletteFormat::Jasc;
  if (looksLikeRiff(bytes)) return PaletteFormat::Riff;
  if (looksLikeBmp(bytes)) return PaletteFormat::Bmp;
  if (looksLikeAct(bytes, name)) return PaletteFormat::Act;
  return PaletteFormat::OrvaneText;
}

AnyPalette parseAnyPalette(Bytes bytes, std::string_view name) {
  AnyPalette any;
  any.format = detectPaletteFormat(bytes, name);
  switch (any.format) {
    case PaletteFormat::OrvaneText:
      any.parse = parsePalette(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), name);
      break;
    case PaletteFormat::Gimp: any.parse = readGimp(bytes, name); break;
    case PaletteFormat::Jasc: any.parse = readJasc(bytes, name); break;
    case PaletteFormat::Riff: any.parse = readRiff(bytes, name); break;
    case PaletteFormat::Act: any.parse = readAct(bytes); break;
    case PaletteFormat::Bmp: any.parse = readBmp(bytes, name); break;
  }
  return any;
}

std::string coloursFromLine(const std::string& path, const AnyPalette& palette) {
  return "Colours from " + path + " (" + paletteFormatName(palette.format) + ", " +
         std::to_string(palette.parse.entriesRead) + (palette.parse.entriesRead == 1 ? " entry)." : " entries).");
}

AnyPalette readAnyPaletteFile(const std::string& path, FileLayer& files) {
  AnyPalette any;
  any.parse.table = defaultPalette();
  const auto cannot = [&](const char* what, const Error& why) {
    any.parse.status =
        Error{why.code, std::string("Could not ") + what + " the palette file " + path + "; default colours used."};
    return any;
  };
  auto file = files.open(path, OpenMode::Read);
  if (!file) return cannot("open", file.error());
  const auto length = (*file)->length();
  if (!length) return cannot("read", length.error());
  // Nothing after the 1024th field is read; 16 MiB is far more than any palette needs.
  constexpr std::uint64_t kMaxRead = 16u << 20;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::min(*length, kMaxRead)));
  const auto got = (*file)->readAt(0, bytes);
  if (!got) return cannot("read", got.error());
  bytes.resize(*got);
  return parseAnyPalette(bytes, path);
}

}  // namespace orvane
