// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Tag numbers of the activity log; the names live in Stores::tagnames.
namespace orvane::tag {
inline constexpr int Main = 1;
inline constexpr int Scanner = 2;
inline constexpr int Extract = 3;
inline constexpr int Palette = 5;
inline constexpr int Repairer = 8;
inline constexpr int About = 10;
inline constexpr int BMPsys = 11;
inline constexpr int Replace = 12;
inline constexpr int Extract_3 = 13;
inline constexpr int Import = 14;
}  // namespace orvane::tag
