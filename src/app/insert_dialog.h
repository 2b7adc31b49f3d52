// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Insert?" dialog: a question naming the scene, the loaded picture on the
// left ("Your picture"), the chosen preview on the right ("Scene N now"),
// arrows between them, and a row of buttons: "Yes" (the default, Enter) to
// write it into the movie, "No" (or Esc) to leave everything as it is.
// Created once, hidden and shown again.
#include <QDialog>
#include <cstdint>

#include "shell/core.h"

class PictureBox;
class QLabel;
class QPushButton;
class QTimer;

class InsertDialog : public QDialog {
  Q_OBJECT
 public:
  InsertDialog(QWidget* owner, orvane::Core& core);

  // Shows the dialog (not modally) and arms the timer that draws it 75 ms later;
  // a dialog already on screen is raised and redrawn with the new choice. A
  // dialog that was hidden opens beside or below its main window, kept on
  // screen and clear of `grid` (the preview grid, in screen coordinates), so a
  // click meant for it never lands on a scene.
  void showFor(const QRect& grid);

  // Where a dialog of `size` (its frame included) opens: below the main
  // window's frame, else right of it, left of it, above it, the first that
  // fits on `screen`; else kept on screen and, where it can be, below `grid`.
  static QPoint placeClearOf(const QRect& mainFrame, const QRect& grid, const QSize& size, const QRect& screen);

  PictureBox* picture1() const { return picture1_; }
  PictureBox* picture2() const { return picture2_; }
  QPushButton* command1() const { return command1_; }
  QPushButton* command2() const { return command2_; }
  QLabel* question() const { return question_; }
  QLabel* oldCaption() const { return oldCaption_; }
  QTimer* timer1() const { return timer1_; }

  // A 32 x 32 arrow pointing right, drawn in code.
  static QPixmap arrowIcon();

 signals:
  // "Yes" wrote into the movie (or tried to).
  void wrote();

 public slots:
  void Timer1_Timer();
  void copyout();
  void Command1_Click();
  void Command2_Click();
  void reject() override;

 private:
  // The question and the captions for the chosen scene.
  void describeChoice();

  orvane::Core& core_;
  PictureBox* picture1_;
  PictureBox* picture2_;
  QLabel* image1_;
  QLabel* image2_;
  QLabel* question_;
  QLabel* newCaption_;
  QLabel* oldCaption_;
  QPushButton* command1_;
  QPushButton* command2_;
  QTimer* timer1_;
  std::uint32_t shownForScan_ = 0;  // the scan whose preview the dialog shows
};
