// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/put_back_dialog.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "app/insert_dialog.h"
#include "app/picture_box.h"
#include "display/drawing.h"

namespace {

constexpr int kBoxWidth = 148, kBoxHeight = 85;  // a picture and its sunken frame, as in Insert?
constexpr int kRowsShown = 3;                    // scene rows visible before the list scrolls

QString fromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString count(std::size_t n, const char* one, const char* many) {
  return QString::number(n) + " " + (n == 1 ? one : many);
}

PictureBox* pictureBox(QWidget* parent, const orvane::Picture& picture, const QString& name) {
  auto* box = new PictureBox(parent, QRect(0, 0, kBoxWidth, kBoxHeight), parent->palette().color(QPalette::Window));
  box->setObjectName(name);
  box->setFixedSize(kBoxWidth, kBoxHeight);
  box->setFocusPolicy(Qt::NoFocus);
  box->paintPicture(0, 0, picture);
  return box;
}

}  // namespace

PutBackDialog::PutBackDialog(QWidget* parent, const orvane::Stores& s, const orvane::PutBackPlan& plan)
    : QDialog(parent) {
  setWindowTitle("Put Previews Back?");
  setModal(true);
  auto* layout = new QVBoxLayout(this);

  const std::size_t changes = plan.changes.size();
  auto* heading = new QLabel(changes == 0 ? QString("No scene preview will change.")
                                          : count(changes, "scene preview", "scene previews") +
                                                " will change: the new picture on the left, the preview as it is now "
                                                "on the right.",
                             this);
  heading->setWordWrap(true);
  layout->addWidget(heading);

  if (changes > 0) {
    auto* rows = new QWidget;
    auto* rowsLayout = new QVBoxLayout(rows);
    rowsLayout->setContentsMargins(4, 4, 4, 4);
    for (const orvane::PlannedScene& scene : plan.changes) rowsLayout->addWidget(sceneRow(s, scene));
    list_ = new QScrollArea(this);
    list_->setObjectName("scenes");
    list_->setWidget(rows);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int shown = std::min<int>(static_cast<int>(changes), kRowsShown);
    const int rowHeight = rows->sizeHint().height() / static_cast<int>(changes);
    list_->setFixedHeight(shown * rowHeight + 2 * list_->frameWidth() + 8);
    list_->setFixedWidth(rows->sizeHint().width() + list_->verticalScrollBar()->sizeHint().width() +
                         2 * list_->frameWidth());
    layout->addWidget(list_);
  }

  QString tally = count(plan.unchanged.size(), "file holds", "files hold") + " the picture its scene already shows";
  if (!plan.refused.empty()) tally += ", " + count(plan.refused.size(), "file is", "files are") + " refused";
  if (!plan.ignored.empty()) tally += ", " + count(plan.ignored.size(), "entry is", "entries are") + " ignored";
  auto* summary = new QLabel(tally + ".", this);
  summary->setObjectName("tally");
  summary->setWordWrap(true);
  layout->addWidget(summary);

  if (!plan.refused.empty() || !plan.ignored.empty()) {
    QStringList lines;
    for (const auto& f : plan.refused) lines << "Refused " + fromUtf8(f.file) + ": " + fromUtf8(f.why) + ".";
    for (const auto& f : plan.ignored) lines << "Ignored " + fromUtf8(f.file) + ": " + fromUtf8(f.why) + ".";
    notes_ = new QPlainTextEdit(lines.join('\n'), this);
    notes_->setObjectName("notes");
    notes_->setReadOnly(true);
    // Long reasons wrap; more than four lines scroll.
    notes_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    notes_->setFixedHeight(notes_->fontMetrics().lineSpacing() * 4 + 2 * notes_->frameWidth() + 8);
    layout->addWidget(notes_);
  }

  buttons_ =
      new QDialogButtonBox(changes > 0 ? QDialogButtonBox::Yes | QDialogButtonBox::No : QDialogButtonBox::Close, this);
  // Neither answer is taken by a stray Enter, as in Insert?.
  for (QAbstractButton* b : buttons_->buttons())
    if (auto* push = qobject_cast<QPushButton*>(b)) push->setAutoDefault(false);
  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons_);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget* PutBackDialog::sceneRow(const orvane::Stores& s, const orvane::PlannedScene& scene) {
  auto* row = new QWidget;
  row->setObjectName(QString("scene%1").arg(sceneCount_++));
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* label = new QLabel(
      QString("<b>Scene %1</b><br><small>%2</small>").arg(scene.preview).arg(fromUtf8(scene.file).toHtmlEscaped()),
      row);
  label->setFixedWidth(label->fontMetrics().horizontalAdvance("Scene 255") + 24);
  label->setWordWrap(true);
  layout->addWidget(label);
  layout->addWidget(pictureBox(row, orvane::composePicture(s, scene.picture.pixels), "new"));
  auto* arrow = new QLabel(row);
  arrow->setPixmap(InsertDialog::arrowIcon());
  layout->addWidget(arrow);
  layout->addWidget(pictureBox(row, orvane::composePreview(s, scene.preview), "old"));
  return row;
}

PictureBox* PutBackDialog::newPicture(int i) const {
  const auto* row = list_ ? list_->widget()->findChild<QWidget*>(QString("scene%1").arg(i)) : nullptr;
  return row ? row->findChild<PictureBox*>("new") : nullptr;
}

PictureBox* PutBackDialog::oldPicture(int i) const {
  const auto* row = list_ ? list_->widget()->findChild<QWidget*>(QString("scene%1").arg(i)) : nullptr;
  return row ? row->findChild<PictureBox*>("old") : nullptr;
}
