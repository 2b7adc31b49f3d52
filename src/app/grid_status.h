// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which scene is which: a tooltip on every tile of the grid ("Scene preview 7
// - at byte 79,448") and three fields in the window's status bar - the tile
// under the mouse (else the one the keyboard framed), the page ("Page 1 of 2 -
// previews 1-12 of 16") and where the picture in the picture view came from.
// Nothing here paints on the grid: its pixels stay as the drawing left them.
#include <QObject>
#include <QString>

#include "shell/stores.h"

class GridNavigator;
class PictureBox;
class QLabel;
class QScrollBar;
class QStatusBar;

class GridStatus : public QObject {
  Q_OBJECT
 public:
  GridStatus(PictureBox* grid, QScrollBar* pages, GridNavigator* navigator, const orvane::Stores& s, QStatusBar* bar);

  // "Scene preview N — at byte P" (P the record's one-based position, with
  // the locale's thousands separator); empty for a number without a preview.
  static QString tileText(const orvane::Stores& s, int preview);
  // "Page P of Q — previews A–B of N", or a hint when no movie shows.
  static QString pageText(const orvane::Stores& s, int page);

  // The preview under inner-area point (x, y) of the grid on the page shown, or 0.
  int previewAt(double x, double y) const;

  // The picture view now shows a picture from `source` (empty: none).
  void setPictureSource(const QString& source);
  // The movie, its page or the framed tile changed: the fields follow.
  void refresh();

  QLabel* tileField() const { return tile_; }
  QLabel* pageField() const { return page_; }
  QLabel* pictureField() const { return picture_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  PictureBox* grid_;
  QScrollBar* pages_;
  GridNavigator* navigator_;
  const orvane::Stores& s_;
  QLabel* tile_;
  QLabel* page_;
  QLabel* picture_;
  int hovered_ = 0;  // the preview under the mouse, 0 for none
};
