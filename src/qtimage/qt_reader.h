// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Any picture format through Qt's image reader: the reader of every format
// without a direct one, and of all of them where this build has none. A JPEG
// is shrunk on load here too, by asking the reader for a reduced size.
#include <QFile>

#include "convert/fit.h"
#include "qtimage/decoded_picture.h"

namespace orvane::qtimage {

Result<DecodedPicture> readWithQt(QFile& file, const convert::Framing& framing);

}  // namespace orvane::qtimage
