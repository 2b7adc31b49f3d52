// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A picture box: a sunken 2-pixel frame around an inner drawing area backed by
// an image, so what is painted survives the window being covered. Over the
// image it can show a hint text and a keyboard focus frame; neither touches
// the image itself.
#include <QFrame>
#include <QImage>

#include "shell/picture.h"

class PictureBox : public QFrame {
  Q_OBJECT
 public:
  PictureBox(QWidget* parent, QRect outer, QColor background);

  void clear();
  void paintPicture(int x, int y, const orvane::Picture& picture);
  const QImage& image() const { return image_; }

  // Text drawn centred over the image; empty shows none.
  void setHint(const QString& hint);
  const QString& hint() const { return hint_; }
  // A frame around `area` (inner-area pixels), drawn while the box has the
  // keyboard focus; an empty rectangle shows none.
  void setFocusFrame(const QRect& area);
  const QRect& focusFrame() const { return focusFrame_; }

 signals:
  // x, y in pixels of the inner area, from its top-left corner.
  void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, double x, double y);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  QImage image_;
  QColor background_;
  QString hint_;
  QRect focusFrame_;
};
