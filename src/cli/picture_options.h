// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The options of the commands that convert pictures: how the picture is fitted
// to 144 x 81 and whether the colour error is diffused.
#include <string>

#include "convert/convert.h"

namespace CLI {
class App;
}

namespace orvane::cli {

struct PictureOptions {
  std::string fit = "crop";
  std::string dither = "fs";

  // The options as the conversion takes them (both names were checked when
  // the command line was parsed).
  convert::ConvertOptions conversion() const;
};

// Adds --fit crop|pad|stretch and --dither fs|none to a command.
void addPictureOptions(CLI::App& command, PictureOptions& options);

}  // namespace orvane::cli
