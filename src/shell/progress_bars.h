// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two progress bars inside their white frame: Shape1 (scan), Shape3
// (extraction, also busy/idle by colour), Shape2 (the frame). Lengths in twips.
#include <cstdint>

#include "shell/host.h"

namespace orvane {

inline constexpr std::uint32_t kBarBlue = 0xFF0000;  // packed 0x00BBGGRR
inline constexpr std::uint32_t kBarGrey = 0xC0C0C0;
inline constexpr std::uint32_t kFrameWhite = 0xFFFFFF;  // the frame behind both bars

struct ShapeGeometry {
  int left, top, width, height;  // twips
};
inline constexpr ShapeGeometry kShape2{6120, 4200, 3375, 240};
inline constexpr ShapeGeometry kShape1{6135, 4210, 2295, 105};
inline constexpr ShapeGeometry kShape3{6135, 4320, 2295, 105};

// The lower bar's two states, for barstate.
inline constexpr int kBusy = 1;  // blue and empty, an extraction is running
inline constexpr int kIdle = 2;  // grey and full

// W x part / whole, truncated toward zero, minus 30; 0 when part is 0. The result
// may be negative (a fraction below 30 / W) or exceed the frame (part > whole).
double barWidthTwips(double frameWidth, double part, double whole);

class ProgressBars {
 public:
  explicit ProgressBars(Host& host);

  void setbar(double part, double whole);   // upper bar Shape1
  void setbar2(double part, double whole);  // lower bar Shape3
  // kBusy (blue, empty), kIdle (grey, full), anything else leaves the bar;
  // always repaints the window at once.
  void barstate(int state);

  const BarLook& shape1() const { return shape1_; }
  const BarLook& shape3() const { return shape3_; }

 private:
  void set(BarId id, BarLook& look, double part, double whole);

  Host& host_;
  double shape2Width_ = kShape2.width;
  BarLook shape1_{kShape1.width, kBarBlue, kBarBlue};
  BarLook shape3_{kShape3.width, kBarBlue, kBarBlue};
};

}  // namespace orvane
