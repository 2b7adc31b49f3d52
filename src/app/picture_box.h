#pragma once
// A picture box: a sunken 2-pixel frame around an inner drawing area backed by
// an image, so what is painted survives the window being covered.
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

 signals:
  // x, y in pixels of the inner area, from its top-left corner.
  void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, double x, double y);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QImage image_;
  QColor background_;
};
