// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Turning decoded pixels upright by a picture's orientation tag
// (exif_orientation.h), for the readers that do not do it themselves.
#include <QImage>

namespace orvane::qtimage {

// The picture as seen upright: `orientation` 1 to 8 as the tag gives it.
QImage turnedUpright(QImage image, int orientation);

}  // namespace orvane::qtimage
