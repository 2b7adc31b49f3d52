// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Mouse wheel and keyboard over the preview grid. The wheel turns pages by
// handing the event to the page scroll bar, so paging runs exactly as with the
// bar itself. The arrow keys move a focus frame from preview to preview (over
// page ends, again through the scroll bar); Page Up/Down turn pages, Home/End
// go to the first and last preview; Enter or Space chooses the framed preview
// as a click on it would. The frame shows only once the keyboard is used (or
// the grid is reached with Tab) and hides again on a mouse click.
#include <QObject>
#include <functional>

#include "shell/stores.h"

class PictureBox;
class QScrollBar;

class GridNavigator : public QObject {
  Q_OBJECT
 public:
  // choose(cell): the preview in grid cell 1..12 of the current page was chosen.
  GridNavigator(PictureBox* grid, QScrollBar* pages, const orvane::Stores& s, std::function<void(int cell)> choose);

  // The framed cell (1..12) of the current page, 0 when the page shows no preview.
  int focusCell() const;
  // Whether the frame shows (the keyboard has been used on the grid).
  bool isFramed() const { return keyboard_ && focusCell() != 0; }
  // A new movie: the frame goes back to the first preview.
  void restart();

 signals:
  // The frame moved, showed or hid.
  void framed();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool keyPressed(int key);
  // Frames preview number n (1..piccount), turning the page when needed.
  void frame(int n);
  // Places the frame for the current page and cell.
  void place();

  PictureBox* grid_;
  QScrollBar* pages_;
  const orvane::Stores& s_;
  std::function<void(int)> choose_;
  int cell_ = 1;           // the framed cell, kept while pages turn
  bool keyboard_ = false;  // whether the frame is shown
};
