// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/picture_box.h"

#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget* parent, QRect outer, QColor background) : QFrame(parent), background_(background) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(2);
  setGeometry(outer);
  setFocusPolicy(Qt::StrongFocus);
  image_ = QImage(outer.size() - QSize(4, 4), QImage::Format_RGB32);
  image_.fill(background_);
}

void PictureBox::clear() {
  image_.fill(background_);
  update();
}

void PictureBox::paintPicture(int x, int y, const orvane::Picture& picture) {
  const QImage source(reinterpret_cast<const uchar*>(picture.argb.data()), orvane::kPictureWidth,
                      orvane::kPictureHeight, orvane::kPictureWidth * 4, QImage::Format_RGB32);
  QPainter painter(&image_);  // clips whatever falls outside the box
  painter.drawImage(x, y, source);
  update();
}

void PictureBox::setHint(const QString& hint) {
  hint_ = hint;
  update();
}

void PictureBox::setFocusFrame(const QRect& area) {
  focusFrame_ = area;
  update();
}

void PictureBox::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  painter.drawImage(contentsRect().topLeft(), image_);
  if (!hint_.isEmpty()) {
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(contentsRect().adjusted(24, 0, -24, 0), Qt::AlignCenter | Qt::TextWordWrap, hint_);
  }
  if (!focusFrame_.isEmpty() && hasFocus()) {
    // Two pixels wide, in the style's highlight colour, around the area.
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(focusFrame_.translated(contentsRect().topLeft())).adjusted(-1, -1, 1, 1));
  }
}

void PictureBox::focusInEvent(QFocusEvent* event) {
  QFrame::focusInEvent(event);
  update();
}

void PictureBox::focusOutEvent(QFocusEvent* event) {
  QFrame::focusOutEvent(event);
  update();
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
  const QPointF p = event->position() - QPointF(contentsRect().topLeft());
  emit mouseDown(event->button(), event->modifiers(), p.x(), p.y());
}
