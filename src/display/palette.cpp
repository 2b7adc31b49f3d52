// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/palette.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iterator>
#include <span>
#include <vector>

#include "display/palette_choice.h"
#include "display/palette_formats.h"
#include "orvane/version.h"
#include "shell/tags.h"
#include "shell/utf8_path.h"

namespace orvane {
namespace {

Rgb fromHsl(double hueDegrees, double saturation, double lightness) {
  const double c = (1 - std::abs(2 * lightness - 1)) * saturation;
  const double hp = hueDegrees / 60.0;
  const double x = c * (1 - std::abs(std::fmod(hp, 2.0) - 1));
  double r = 0, g = 0, b = 0;
  if (hp < 1) {
    r = c;
    g = x;
  } else if (hp < 2) {
    r = x;
    g = c;
  } else if (hp < 3) {
    g = c;
    b = x;
  } else if (hp < 4) {
    g = x;
    b = c;
  } else if (hp < 5) {
    r = x;
    b = c;
  } else {
    r = c;
    b = x;
  }
  const double m = lightness - c / 2;
  auto channel = [m](double v) { return static_cast<std::int16_t>(std::lround((v + m) * 255.0)); };
  return {channel(r), channel(g), channel(b)};
}

PaletteTable buildDefault() {
  PaletteTable t{};
  int e = 0;
  for (int i = 0; i < kGreys; ++i, ++e) {
    const auto v = static_cast<std::int16_t>(i * 17);  // 0, 17, ..., 255
    t[e] = {v, v, v};
  }
  for (int h = 0; h < kHues; ++h)
    for (int s = 0; s < kShades; ++s, ++e) t[e] = fromHsl(h * 24.0, 0.85, 0.12 + s * 0.095);
  for (int h = 0; h < kHues; ++h)
    for (int s = 0; s < kMutedTones; ++s, ++e) t[e] = fromHsl(h * 24.0, 0.35, 0.25 + s * 0.1);
  return t;
}

const char* kHueNames[kHues] = {"red",  "orange", "amber", "yellow", "lime",   "green",  "jade", "teal",
                                "cyan", "sky",    "blue",  "indigo", "violet", "purple", "rose"};

std::string entryName(int e) {
  if (e < kGreys) return "grey" + std::to_string(e);
  if (e < kGreys + kHues * kShades) {
    const int i = e - kGreys;
    return std::string(kHueNames[i / kShades]) + std::to_string(i % kShades + 1);
  }
  const int i = e - kGreys - kHues * kShades;
  return "muted-" + std::string(kHueNames[i / kMutedTones]) + std::to_string(i % kMutedTones + 1);
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

// Splits the text into fields the way the palette file is written.
class FieldReader {
 public:
  explicit FieldReader(std::string_view text) : text_(text) {}

  // False when the text holds no further field.
  bool next(std::string_view& field) {
    while (pos_ < text_.size() && (isBlank(text_[pos_]) || isLineEnd(text_[pos_]))) ++pos_;
    if (pos_ >= text_.size()) return false;
    const std::size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != ',' && !isLineEnd(text_[pos_])) ++pos_;
    std::size_t end = pos_;
    while (end > start && isBlank(text_[end - 1])) --end;
    field = text_.substr(start, end - start);
    if (pos_ < text_.size()) {
      if (text_[pos_] == ',')
        ++pos_;
      else if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n')
        pos_ += 2;
      else
        ++pos_;
    }
    return true;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// What is wrong with a colour component, if anything.
enum class FieldProblem { None, NotANumber, OutOfRange };

// A colour component: a whole number 0..32767, an optional plus sign allowed.
FieldProblem parseComponent(std::string_view field, std::int16_t& out) {
  std::size_t i = 0;
  bool negative = false;
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
  if (i == field.size()) return FieldProblem::NotANumber;
  long value = 0;
  for (; i < field.size(); ++i) {
    if (field[i] < '0' || field[i] > '9') return FieldProblem::NotANumber;
    value = std::min(value * 10 + (field[i] - '0'), 100000L);
  }
  if ((negative && value != 0) || value > 32767) return FieldProblem::OutOfRange;
  out = static_cast<std::int16_t>(value);
  return FieldProblem::None;
}

std::string defaultsFrom(int entry) { return "; default colours used from entry " + std::to_string(entry) + " on."; }

// The parse stopped at `entry`: the text ended there.
void endedEarly(PaletteParse& p, int entry, std::string_view source) {
  p.failedEntry = entry;
  p.status =
      Error{ErrorCode::PaletteTooShort, "Palette file " + std::string(source) + " ends before entry 255 (it holds " +
                                            std::to_string(p.entriesRead) + " complete entries)" + defaultsFrom(entry)};
}

// The parse stopped at `entry`: `field` is no colour component.
void badField(PaletteParse& p, int entry, std::string_view field, FieldProblem problem, std::string_view source) {
  p.failedEntry = entry;
  p.badField = std::string(field.substr(0, 40));
  const std::string where =
      "Palette file " + std::string(source) + ": entry " + std::to_string(entry) + " has \"" + p.badField + "\"";
  p.status = problem == FieldProblem::NotANumber
                 ? Error{ErrorCode::PaletteNotANumber, where + " where a whole number belongs" + defaultsFrom(entry)}
                 : Error{ErrorCode::PaletteOutOfRange, where + ", outside 0..32767" + defaultsFrom(entry)};
}

}  // namespace

const PaletteTable& defaultPalette() {
  static const PaletteTable table = buildDefault();
  return table;
}

std::string formatPaletteFile(const PaletteTable& table) {
  std::string out;
  for (int e = 0; e < kPaletteEntries; ++e)
    out += entryName(e) + "," + std::to_string(table[e].r) + "," + std::to_string(table[e].g) + "," +
           std::to_string(table[e].b) + "\r\n";
  return out;
}

PaletteParse parsePalette(std::string_view text, std::string_view source) {
  PaletteParse result;
  result.table = defaultPalette();
  FieldReader reader(text);
  for (int e = 0; e < kPaletteEntries; ++e) {
    std::string_view field;
    if (!reader.next(field)) {  // the leading field, ignored
      endedEarly(result, e, source);
      return result;
    }
    Rgb rgb;
    std::int16_t* components[] = {&rgb.r, &rgb.g, &rgb.b};
    for (auto* component : components) {
      if (!reader.next(field)) {
        endedEarly(result, e, source);
        return result;
      }
      if (const auto problem = parseComponent(field, *component); problem != FieldProblem::None) {
        badField(result, e, field, problem, source);
        return result;
      }
    }
    result.table[e] = rgb;
    result.entriesRead = e + 1;
  }
  return result;
}

std::uint32_t paletteArgb(const Stores& s, int index) {
  const int e = std::clamp(index, 0, kPaletteEntries - 1);
  const auto component = [&](int c) {
    return static_cast<std::uint32_t>(std::clamp<int>(s.palComponent(e, c), 0, 255));
  };
  return 0xFF000000u | component(1) << 16 | component(2) << 8 | component(3);
}

PaletteParse readPaletteFile(const std::string& path, FileLayer& files) {
  return readAnyPaletteFile(path, files).parse;
}

void applyPalette(Stores& s, const PaletteTable& t) {
  for (int e = 0; e < kPaletteEntries; ++e) {
    s.palComponent(e, 1) = t[e].r;
    s.palComponent(e, 2) = t[e].g;
    s.palComponent(e, 3) = t[e].b;
  }
}

Status loadPaletteInto(Stores& s, const std::string& path, FileLayer& files) {
  const PaletteParse parse = readPaletteFile(path, files);
  applyPalette(s, parse.table);
  return parse.status;
}

void load_pal_from(Core& core, const std::string& path) {
  core.logline("Starting to load palette", tag::Palette);
  const AnyPalette read = readAnyPaletteFile(path);
  applyPalette(core.s, read.parse.table);
  if (!read.parse.status) return core.logline(read.parse.status.error().message, tag::Palette);
  core.logline("Palette loaded.", tag::Palette);
  core.logline(coloursFromLine(path, read), tag::Palette);
}

std::string palettePath(const std::string& appdir) {
  const std::string beside = appdir + kPaletteFileName;
  const std::string candidates[] = {beside, appdir + kDataDirFromBinDir + "/" + kPaletteFileName,
                                    std::string(kInstalledDataDir) + "/" + kPaletteFileName};
  for (const auto& path : candidates) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(pathFromUtf8(path), ec)) return path;
  }
  return beside;  // reported as missing under its first and usual name
}

std::string paletteToLoad(const std::string& appdir, const std::string& remembered) {
  std::error_code ec;
  if (!remembered.empty() &&
      std::filesystem::is_regular_file(std::filesystem::path(std::u8string(remembered.begin(), remembered.end())), ec))
    return remembered;
  return palettePath(appdir);
}

void load_pal1(Core& core) {
  const std::string remembered = rememberedPalette();
  const std::string path = paletteToLoad(core.s.appdir, remembered);
  load_pal_from(core, path);
  if (!remembered.empty() && path != remembered)
    core.logline("The palette chosen earlier, " + remembered + ", is no longer there; " + path + " was used instead.",
                 tag::Palette);
}

}  // namespace orvane
