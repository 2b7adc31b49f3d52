// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A filled rectangle with a one-pixel border, as used for the progress bars.
#include <QWidget>

class ShapeWidget : public QWidget {
 public:
  ShapeWidget(QWidget* parent, QRect geometry, QColor border, QColor fill);
  void setLook(int widthPixels, QColor border, QColor fill);
  QColor border() const { return border_; }
  QColor fill() const { return fill_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor border_, fill_;
};
