// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtimage/upright.h"

#include <QTransform>

namespace orvane::qtimage {
namespace {

QImage quarterClockwise(const QImage& image) { return image.transformed(QTransform().rotate(90)); }

}  // namespace

QImage turnedUpright(QImage image, int orientation) {
  switch (orientation) {
    case 2: return image.mirrored(true, false);
    case 3: return image.mirrored(true, true);
    case 4: return image.mirrored(false, true);
    case 5: return quarterClockwise(image).mirrored(true, false);  // transposed
    case 6: return quarterClockwise(image);
    case 7: return quarterClockwise(image).mirrored(false, true);  // transposed the other way
    case 8: return image.transformed(QTransform().rotate(270));
    default: return image;
  }
}

}  // namespace orvane::qtimage
