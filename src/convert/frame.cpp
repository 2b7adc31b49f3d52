// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/frame.h"

#include <algorithm>
#include <cmath>

namespace orvane::convert {
namespace {

constexpr int kStepWidth = 16, kStepHeight = 9;

// The most 16 x 9 steps a frame may have in the picture.
int mostSteps(int width, int height) { return std::min(width / kStepWidth, height / kStepHeight); }

PictureRect sized(int steps) { return {0, 0, steps * kStepWidth, steps * kStepHeight}; }

// The frame placed with its centre as near (cx, cy) as the picture allows.
PictureRect centredOn(PictureRect frame, double cx, double cy, int width, int height) {
  frame.x = std::clamp(static_cast<int>(std::lround(cx - frame.width / 2.0)), 0, width - frame.width);
  frame.y = std::clamp(static_cast<int>(std::lround(cy - frame.height / 2.0)), 0, height - frame.height);
  return frame;
}

}  // namespace

PictureRect fullFrame(int width, int height) {
  const int steps = mostSteps(width, height);
  if (steps < 1) return {0, 0, width, height};
  const PictureRect frame = sized(steps);
  return {(width - frame.width) / 2, (height - frame.height) / 2, frame.width, frame.height};
}

PictureRect moveFrame(const PictureRect& frame, int dx, int dy, int width, int height) {
  PictureRect moved = frame;
  moved.x = std::clamp(frame.x + dx, 0, std::max(0, width - frame.width));
  moved.y = std::clamp(frame.y + dy, 0, std::max(0, height - frame.height));
  return moved;
}

PictureRect scaleFrame(const PictureRect& frame, double factor, int width, int height) {
  const int most = mostSteps(width, height);
  if (most < 1) return fullFrame(width, height);
  const int steps = std::max(1, frame.width / kStepWidth);
  int wanted = static_cast<int>(std::lround(steps * factor));
  if (wanted == steps && factor > 1) ++wanted;
  if (wanted == steps && factor < 1) --wanted;
  return centredOn(sized(std::clamp(wanted, 1, most)), frame.x + frame.width / 2.0, frame.y + frame.height / 2.0, width,
                   height);
}

PictureRect frameFromCorner(int anchorX, int anchorY, double x, double y, int width, int height) {
  if (mostSteps(width, height) < 1) return fullFrame(width, height);
  anchorX = std::clamp(anchorX, 0, width);
  anchorY = std::clamp(anchorY, 0, height);
  const bool right = x >= anchorX, down = y >= anchorY;
  // Room from the anchor towards the pointer, in steps.
  const int room =
      std::min((right ? width - anchorX : anchorX) / kStepWidth, (down ? height - anchorY : anchorY) / kStepHeight);
  const double reach = std::max(std::abs(x - anchorX) / kStepWidth, std::abs(y - anchorY) / kStepHeight);
  PictureRect frame = sized(std::clamp(static_cast<int>(std::lround(reach)), 1, std::max(1, room)));
  frame.x = right ? anchorX : anchorX - frame.width;
  frame.y = down ? anchorY : anchorY - frame.height;
  return moveFrame(frame, 0, 0, width, height);  // only where the anchor left no room for one step
}

ViewMapping ViewMapping::fitting(int width, int height, int viewWidth, int viewHeight) {
  ViewMapping m;
  if (width < 1 || height < 1 || viewWidth < 1 || viewHeight < 1) return m;
  m.scale = std::min(static_cast<double>(viewWidth) / width, static_cast<double>(viewHeight) / height);
  m.left = (viewWidth - width * m.scale) / 2;
  m.top = (viewHeight - height * m.scale) / 2;
  return m;
}

SourceRect ViewMapping::toView(const PictureRect& rect) const {
  return {left + rect.x * scale, top + rect.y * scale, rect.width * scale, rect.height * scale};
}

}  // namespace orvane::convert
