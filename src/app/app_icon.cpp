// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app_icon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

QIcon orvaneIcon() {
  static const QIcon icon = [] {
    QIcon drawn;
    QSvgRenderer svg(QStringLiteral(":/orvane/orvane.svg"));
    if (!svg.isValid()) return drawn;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
      QPixmap pixmap(size, size);
      pixmap.fill(Qt::transparent);
      QPainter painter(&pixmap);
      svg.render(&painter);
      painter.end();
      drawn.addPixmap(pixmap);
    }
    return drawn;
  }();
  return icon;
}
