// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/picture_options.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <vector>

namespace orvane::cli {
namespace {

// `count` whole numbers from 0 up, separated by commas and nothing else.
std::optional<std::vector<int>> numbers(std::string_view text, std::size_t count) {
  std::vector<int> values;
  const char* at = text.data();
  const char* const end = text.data() + text.size();
  while (values.size() < count) {
    if (at == end || *at < '0' || *at > '9') return std::nullopt;
    int value = 0;
    const auto [next, failed] = std::from_chars(at, end, value);
    if (failed != std::errc{}) return std::nullopt;
    values.push_back(value);
    at = next;
    if (values.size() < count) {
      if (at == end || *at != ',') return std::nullopt;
      ++at;
    }
  }
  if (at != end) return std::nullopt;
  return values;
}

}  // namespace

std::optional<convert::PictureRect> parseCrop(std::string_view text) {
  const auto v = numbers(text, 4);
  if (!v || (*v)[2] < 1 || (*v)[3] < 1) return std::nullopt;
  return convert::PictureRect{(*v)[0], (*v)[1], (*v)[2], (*v)[3]};
}

std::optional<convert::PicturePoint> parseFocus(std::string_view text) {
  const auto v = numbers(text, 2);
  if (!v) return std::nullopt;
  return convert::PicturePoint{(*v)[0], (*v)[1]};
}

convert::ConvertOptions PictureOptions::conversion() const {
  convert::Framing framing(convert::fitModeNamed(fit).value_or(convert::FitMode::Crop));
  if (!crop.empty()) framing.crop = parseCrop(crop);
  if (!focus.empty()) framing.focus = parseFocus(focus);
  return {framing, convert::ditherNamed(dither).value_or(convert::Dither::FloydSteinberg)};
}

void addPictureOptions(CLI::App& command, PictureOptions& options) {
  command
      .add_option("--fit", options.fit,
                  "How the picture becomes 144 x 81: crop (fill, centred; the default),\n"
                  "pad (fit inside, bars of the colour nearest black) or stretch")
      ->type_name("MODE")
      ->check(CLI::IsMember({"crop", "pad", "stretch"}));
  command
      .add_option("--dither", options.dither,
                  "fs: Floyd-Steinberg error diffusion (the default); none: the nearest\ncolour for every pixel")
      ->type_name("MODE")
      ->check(CLI::IsMember({"fs", "none"}));
  command
      .add_option("--crop", options.crop,
                  "Use only this rectangle of the picture, in its pixels as it is shown\n"
                  "(upright): left, top, width, height; --fit then applies to it")
      ->type_name("X,Y,W,H")
      ->check(CLI::Validator(
          [](const std::string& text) {
            return parseCrop(text)
                       ? std::string()
                       : "expected X,Y,W,H: four whole numbers, the width and height at least 1, not \"" + text + "\"";
          },
          "X,Y,W,H"));
  command
      .add_option("--focus", options.focus,
                  "A point of the picture (X,Y, in its pixels) that --fit crop keeps in\n"
                  "view: the cut is centred on it as far as the picture allows")
      ->type_name("X,Y")
      ->check(CLI::Validator(
          [](const std::string& text) {
            return parseFocus(text) ? std::string() : "expected X,Y: two whole numbers, not \"" + text + "\"";
          },
          "X,Y"));
}

}  // namespace orvane::cli
