// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shape_widget.h"

#include <QPainter>

ShapeWidget::ShapeWidget(QWidget* parent, QRect geometry, QColor border, QColor fill)
    : QWidget(parent), border_(border), fill_(fill) {
  setGeometry(geometry);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ShapeWidget::setLook(int widthPixels, QColor border, QColor fill) {
  border_ = border;
  fill_ = fill;
  // A zero-width shape shows nothing at all.
  setVisible(widthPixels > 0);
  resize(widthPixels, height());
  update();
}

void ShapeWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), fill_);
  painter.setPen(border_);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
