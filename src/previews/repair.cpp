#include "previews/repair.h"

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

  std::int32_t count = 0;
  for (int p = 1; p <= s.piccount && p <= kMaxPreviews; ++p) {
    for (int r = 1; r <= 81; ++r) {
      auto& row = s.pics[p][r];
      if (row[1] != 0) { row[1] = 0; ++count; }
      if (row[2] != 144) { row[2] = 144; ++count; }
    }
  }
  if (count == 0)
    core.logline("No errors.", tag::Repairer);
  else
    core.logline(halfCountText(count, core.decimalSeparator) + "pairs repaired.", tag::Repairer);

  if (!IsBMP) return;

  count = 0;
  std::int16_t colours = 0;
  for (int y = 0; y <= 80; ++y) {
    auto& row = s.blimp[y];
    if (row[0] != 0) { row[0] = 0; ++count; }
    if (row[1] != 144) { row[1] = 144; ++count; }
    for (int x = 2; x <= 145; ++x) {
      if (row[x] > 150) { row[x] = 0; ++colours; }
    }
  }
  if (colours > 0) core.logline("Colours above 150 detected, please recheck your BMP!", tag::Repairer);
  if (count > 0) core.logline(halfCountText(count, core.decimalSeparator) + "pairs repaired.", tag::Repairer);
}

}  // namespace orvane
