// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app_icon.h"

#ifdef ORVANE_SVG_ICON
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#endif

QIcon orvaneIcon() {
#ifndef ORVANE_SVG_ICON
  // Drawn from the SVG into the .ico the Windows program also carries.
  return QIcon(QStringLiteral(":/orvane/orvane.ico"));
#else
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
#endif
}
