// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/insert_dialog.h"

#include <algorithm>

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "app/picture_box.h"
#include "display/drawing.h"
#include "workflow/replace_road.h"

InsertDialog::InsertDialog(QWidget* owner, orvane::Core& core) : QDialog(owner), core_(core) {
  // A child of the main window: it closes with it and never outlives it.
  setWindowTitle("Insert?");
  setModal(false);
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(358, 172);

  // The question on top, the two pictures with what they are under them, and
  // the answer buttons in a row at the bottom, Yes the default.
  question_ = new QLabel(this);
  question_->setObjectName("question");
  question_->setGeometry(8, 6, 342, 18);

  const QColor background = palette().color(QPalette::Window);
  picture1_ = new PictureBox(this, QRect(8, 28, 148, 85), background);
  picture1_->setObjectName("Picture1");
  picture2_ = new PictureBox(this, QRect(202, 28, 148, 85), background);
  picture2_->setObjectName("Picture2");
  for (PictureBox* box : {picture1_, picture2_}) box->setFocusPolicy(Qt::NoFocus);

  image1_ = new QLabel(this);
  image1_->setGeometry(163, 28, 32, 32);
  image1_->setPixmap(arrowIcon());
  image2_ = new QLabel(this);
  image2_->setGeometry(163, 76, 32, 32);
  image2_->setPixmap(arrowIcon());

  newCaption_ = new QLabel("Your picture", this);
  newCaption_->setObjectName("newCaption");
  newCaption_->setGeometry(8, 115, 148, 18);
  oldCaption_ = new QLabel(this);
  oldCaption_->setObjectName("oldCaption");
  oldCaption_->setGeometry(202, 115, 148, 18);
  for (QLabel* caption : {newCaption_, oldCaption_}) caption->setAlignment(Qt::AlignCenter);

  command1_ = new QPushButton("&Yes", this);
  command1_->setGeometry(192, 140, 75, 26);
  command2_ = new QPushButton("&No", this);
  command2_->setGeometry(275, 140, 75, 26);
  command1_->setDefault(true);
  command2_->setAutoDefault(false);
  connect(command1_, &QPushButton::clicked, this, &InsertDialog::Command1_Click);
  connect(command2_, &QPushButton::clicked, this, &InsertDialog::Command2_Click);
  setTabOrder(command1_, command2_);

  timer1_ = new QTimer(this);
  timer1_->setSingleShot(true);
  timer1_->setInterval(75);
  connect(timer1_, &QTimer::timeout, this, &InsertDialog::Timer1_Timer);
}

QPixmap InsertDialog::arrowIcon() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath arrow;
  arrow.moveTo(3, 12);
  arrow.lineTo(17, 12);
  arrow.lineTo(17, 5);
  arrow.lineTo(29, 16);
  arrow.lineTo(17, 27);
  arrow.lineTo(17, 20);
  arrow.lineTo(3, 20);
  arrow.closeSubpath();
  painter.setPen(QPen(QColor(20, 60, 120), 1.5));
  painter.setBrush(QColor(60, 140, 220));
  painter.drawPath(arrow);
  return pixmap;
}

QPoint InsertDialog::placeClearOf(const QRect& mainFrame, const QRect& grid, const QSize& size, const QRect& screen) {
  const QPoint candidates[] = {
      {mainFrame.left(), mainFrame.bottom() + 1},
      {mainFrame.right() + 1, mainFrame.top()},
      {mainFrame.left() - size.width(), mainFrame.top()},
      {mainFrame.left(), mainFrame.top() - size.height()},
  };
  for (const QPoint& at : candidates)
    if (screen.contains(QRect(at, size))) return at;
  // No room outside the window: below the grid, over the log, as far as the screen allows.
  const int x = std::clamp(mainFrame.left(), screen.left(), std::max(screen.left(), screen.right() + 1 - size.width()));
  const int y =
      std::clamp(grid.bottom() + 1, screen.top(), std::max(screen.top(), screen.bottom() + 1 - size.height()));
  return {x, y};
}

void InsertDialog::showFor(const QRect& grid) {
  shownForScan_ = core_.s.scanSerial;
  if (!isVisible()) {
    const QWidget* main = parentWidget()->window();
    // Before its first showing the window system has not framed the dialog
    // yet: allow for a title bar and borders.
    const QSize framed = frameGeometry().size() != size() ? frameGeometry().size() : size() + QSize(8, 32);
    const QScreen* screen = main->screen();
    move(placeClearOf(main->frameGeometry(), grid, framed, screen ? screen->availableGeometry() : QRect()));
  }
  describeChoice();
  show();
  raise();
  activateWindow();
  command1_->setFocus(Qt::TabFocusReason);  // a reason that shows the focus frame
  timer1_->start();                         // (re)arms the one-shot draw
}

void InsertDialog::Timer1_Timer() {
  timer1_->stop();
  copyout();
}

void InsertDialog::describeChoice() {
  question_->setText(QString("Replace the preview of scene %1 with this picture?").arg(core_.s.selpic));
  oldCaption_->setText(QString("Scene %1 now").arg(core_.s.selpic));
}

void InsertDialog::copyout() {
  describeChoice();
  picture1_->paintPicture(0, 0, orvane::composeBuffer(core_.s));
  picture2_->paintPicture(0, 0, orvane::composePreview(core_.s, core_.s.selpic));
}

void InsertDialog::Command1_Click() {
  // A dialog shown for one scan never writes after the next: the preview it
  // shows belongs to the movie scanned then. Every outcome of the write has
  // been shown to the user in a box.
  if (core_.s.scanSerial == shownForScan_) {
    orvane::replaceScene(core_, core_.s.selpic);
    emit wrote();
  }
  hide();
}

void InsertDialog::Command2_Click() { hide(); }

void InsertDialog::reject() { Command2_Click(); }  // Esc answers No
