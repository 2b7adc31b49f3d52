// SPDX-License-Identifier: GPL-3.0-or-later
#include "previews/repair.h"

#include "previews/record_format.h"
#include "shell/tags.h"

namespace orvane {

std::string halfCountText(std::int32_t count, const std::string& decimalSeparator) {
  std::string text = std::to_string(count / 2);
  if (count % 2 != 0) text += decimalSeparator + "5";
  return text;
}

void repair(Core& core, bool IsBMP) {
  Stores& s = core.s;
  core.logline("Starting repairs...", tag::Repairer);

  // Sets one prefix byte to the value it must have; true when it was wrong.
  const auto enforce = [](std::uint8_t& cell, std::uint8_t value) {
    if (cell == value) return false;
    cell = value;
    return true;
  };

  std::int32_t count = 0;
  for (int n = 1; n <= s.piccount && n <= kMaxPreviews; ++n) {
    for (int y = 0; y < record::kRows; ++y) {
      count += enforce(s.previewByte(n, y, 0), record::kPrefix0);
      count += enforce(s.previewByte(n, y, 1), record::kPrefix1);
    }
  }
  if (count == 0)
    core.logline("No errors.", tag::Repairer);
  else
    core.logline(halfCountText(count, core.decimalSeparator) + "pairs repaired.", tag::Repairer);

  if (!IsBMP) return;

  count = 0;
  std::int16_t colours = 0;
  for (int y = 0; y < record::kRows; ++y) {
    count += enforce(s.bufferByte(y, 0), record::kPrefix0);
    count += enforce(s.bufferByte(y, 1), record::kPrefix1);
    for (int x = 0; x < record::kPixelsPerRow; ++x) {
      if (s.bufferPixel(y, x) > kHighestPictureColour) {
        s.bufferPixel(y, x) = 0;
        ++colours;
      }
    }
  }
  if (colours > 0) core.logline("Colours above 150 detected, please recheck your BMP!", tag::Repairer);
  if (count > 0) core.logline(halfCountText(count, core.decimalSeparator) + "pairs repaired.", tag::Repairer);
}

}  // namespace orvane
