#pragma once
// The "Insert?" dialog: the loaded picture on the left, the chosen preview on
// the right, arrows between them, "Yes" to write it into the movie, "No" to
// leave everything as it is. Created once, hidden and shown again.
#include <QDialog>

#include "shell/core.h"

class PictureBox;
class QLabel;
class QPushButton;
class QTimer;

class Switch : public QDialog {
  Q_OBJECT
 public:
  Switch(QWidget* owner, orvane::Core& core);

  // Shows the dialog (not modally) and arms the timer that draws it 75 ms later;
  // a dialog already on screen is raised and redrawn with the new choice.
  void showFor();

  PictureBox* picture1() const { return picture1_; }
  PictureBox* picture2() const { return picture2_; }
  QPushButton* command1() const { return command1_; }
  QPushButton* command2() const { return command2_; }
  QTimer* timer1() const { return timer1_; }

  // A 32 x 32 arrow pointing right, drawn in code.
  static QPixmap arrowIcon();

 public slots:
  void Timer1_Timer();
  void copyout();
  void Command1_Click();
  void Command2_Click();

 private:
  orvane::Core& core_;
  PictureBox* picture1_;
  PictureBox* picture2_;
  QLabel* image1_;
  QLabel* image2_;
  QPushButton* command1_;
  QPushButton* command2_;
  QTimer* timer1_;
};
