// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The activity log's tags: every line starts with its tag's name and a colon.
#include <array>
#include <string_view>

namespace orvane {

// The tags by number. The numbers without an enumerator (up to 50) are tags
// without a name: their lines start with the colon.
enum class Tag : int {
  unknown = 0,
  Main = 1,
  Scanner = 2,
  Extract = 3,
  Checksum = 4,
  Palette = 5,
  Extract_2 = 6,
  APIExtract = 7,
  Repairer = 8,
  ColorMatcher = 9,
  About = 10,
  BMPsys = 11,
  Replace = 12,
  Extract_3 = 13,
  Import = 14,
};

// The names of the tags 0..14, in their order.
inline constexpr std::array<std::string_view, 15> kTagNames = {
    "unknown",  "Main",         "Scanner", "Extract", "Checksum", "Palette",   "Extract_2", "APIExtract",
    "Repairer", "ColorMatcher", "About",   "BMPsys",  "Replace",  "Extract_3", "Import"};

// Tag numbers run from 0 to 50.
inline constexpr int kTagCount = 51;

// The name a line of `tag` starts with: empty for a number without a name;
// a number outside 0..50 is written as "unknown", so that no line is lost.
constexpr std::string_view tagName(Tag tag) {
  const int n = static_cast<int>(tag);
  if (n < 0 || n >= kTagCount) return kTagNames[0];
  return static_cast<std::size_t>(n) < kTagNames.size() ? kTagNames[static_cast<std::size_t>(n)] : std::string_view{};
}

// The tags the program writes under, by their old spelling.
namespace tag {
inline constexpr Tag Main = Tag::Main;
inline constexpr Tag Scanner = Tag::Scanner;
inline constexpr Tag Extract = Tag::Extract;
inline constexpr Tag Palette = Tag::Palette;
inline constexpr Tag Repairer = Tag::Repairer;
inline constexpr Tag About = Tag::About;
inline constexpr Tag BMPsys = Tag::BMPsys;
inline constexpr Tag Replace = Tag::Replace;
inline constexpr Tag Extract_3 = Tag::Extract_3;
inline constexpr Tag Import = Tag::Import;
}  // namespace tag

}  // namespace orvane
