// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/picture_options.h"

#include <CLI/CLI.hpp>

namespace orvane::cli {

convert::ConvertOptions PictureOptions::conversion() const {
  return {convert::fitModeNamed(fit).value_or(convert::FitMode::Crop),
          convert::ditherNamed(dither).value_or(convert::Dither::FloydSteinberg)};
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
}

}  // namespace orvane::cli
