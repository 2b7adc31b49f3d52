// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The frame the user places over a picture to choose the part that becomes
// the preview: a rectangle of the upright picture in whole pixels, exactly
// 16:9 (16k x 9k pixels), always inside the picture. Moving, resizing and
// mapping it onto a view of the picture scaled to fit, without any toolkit.
#include "convert/fit.h"

namespace orvane::convert {

// The largest frame, centred: what the crop fit takes when nothing is chosen
// (to within a pixel where the picture's sides are not multiples of 16 and 9).
// A picture smaller than 16 x 9 is its own frame, and never moves.
PictureRect fullFrame(int width, int height);

// The frame moved by dx, dy pixels, stopped at the picture's edges.
PictureRect moveFrame(const PictureRect& frame, int dx, int dy, int width, int height);

// The frame resized by `factor` round its centre (at least one 16 x 9 step
// when the factor is not 1), between 16 x 9 and fullFrame's size, then moved
// back inside the picture where it went over an edge.
PictureRect scaleFrame(const PictureRect& frame, double factor, int width, int height);

// The frame dragged by a corner: the opposite corner (anchorX, anchorY) stays
// where it is, the frame reaches towards (x, y) as far as 16:9 and the picture
// allow, and is at least 16 x 9.
PictureRect frameFromCorner(int anchorX, int anchorY, double x, double y, int width, int height);

// A picture of width x height shown scaled to fit a view of viewWidth x
// viewHeight, centred; positions both ways between the view and the picture.
struct ViewMapping {
  double scale = 1, left = 0, top = 0;

  static ViewMapping fitting(int width, int height, int viewWidth, int viewHeight);
  SourceRect toView(const PictureRect& rect) const;
  double toPictureX(double viewX) const { return (viewX - left) / scale; }
  double toPictureY(double viewY) const { return (viewY - top) / scale; }
};

}  // namespace orvane::convert
