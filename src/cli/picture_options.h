// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The options of the commands that convert pictures: which part of the
// picture is used, how it is fitted to 144 x 81 and whether the colour error
// is diffused.
#include <optional>
#include <string>
#include <string_view>

#include "convert/convert.h"

namespace CLI {
class App;
}

namespace orvane::cli {

struct PictureOptions {
  std::string fit = "crop";
  std::string dither = "fs";
  std::string crop, focus;  // empty when not given

  // The options as the conversion takes them (every value was checked when
  // the command line was parsed).
  convert::ConvertOptions conversion() const;
};

// "X,Y,W,H" (W and H at least 1) and "X,Y": whole numbers, none negative;
// nothing for anything else.
std::optional<convert::PictureRect> parseCrop(std::string_view text);
std::optional<convert::PicturePoint> parseFocus(std::string_view text);

// Adds --fit crop|pad|stretch, --dither fs|none, --crop X,Y,W,H and
// --focus X,Y to a command.
void addPictureOptions(CLI::App& command, PictureOptions& options);

}  // namespace orvane::cli
