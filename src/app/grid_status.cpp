// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/grid_status.h"

#include <QEvent>
#include <QHelpEvent>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolTip>
#include <algorithm>

#include "app/grid_navigator.h"
#include "app/picture_box.h"
#include "display/selection.h"

namespace {

const QString kDash = QString::fromUtf8(" \u2014 ");
const QString kEnDash = QString::fromUtf8("\u2013");

}  // namespace

GridStatus::GridStatus(PictureBox* grid, QScrollBar* pages, GridNavigator* navigator, const orvane::Stores& s,
                       QStatusBar* bar)
    : QObject(grid), grid_(grid), pages_(pages), navigator_(navigator), s_(s) {
  tile_ = new QLabel(bar);
  tile_->setObjectName("tileStatus");
  page_ = new QLabel(bar);
  page_->setObjectName("pageStatus");
  picture_ = new QLabel(bar);
  picture_->setObjectName("pictureStatus");
  bar->addWidget(tile_, 1);
  bar->addPermanentWidget(page_);
  bar->addPermanentWidget(picture_);
  bar->setSizeGripEnabled(false);
  grid_->setMouseTracking(true);
  grid_->installEventFilter(this);
  connect(pages_, &QScrollBar::valueChanged, this, &GridStatus::refresh);
  connect(navigator_, &GridNavigator::framed, this, &GridStatus::refresh);
  refresh();
}

QString GridStatus::tileText(const orvane::Stores& s, int preview) {
  if (preview < 1 || preview > s.piccount) return {};
  return QString("Scene preview %1").arg(preview) + kDash +
         QString("at byte %1").arg(QLocale().toString(static_cast<qlonglong>(s.recordPosition(preview))));
}

QString GridStatus::pageText(const orvane::Stores& s, int page) {
  if (s.piccount <= 0) return s.moviefile.empty() ? QString("No movie open") : QString("No scene previews");
  const int pages = (s.piccount + orvane::kGridCells - 1) / orvane::kGridCells;
  const int first = page * orvane::kGridCells + 1;
  const int last = std::min<int>(s.piccount, first + orvane::kGridCells - 1);
  return QString("Page %1 of %2").arg(page + 1).arg(pages) + kDash +
         QString("previews %1%2%3 of %4").arg(first).arg(kEnDash).arg(last).arg(s.piccount);
}

int GridStatus::previewAt(double x, double y) const {
  const int cell = orvane::hitCell(s_, x, y);
  if (cell == 0) return 0;
  const long long preview = 12LL * pages_->value() + cell;
  return preview <= s_.piccount ? static_cast<int>(preview) : 0;
}

void GridStatus::setPictureSource(const QString& source) {
  picture_->setText(source.isEmpty() ? QString() : "Picture: " + source);
  picture_->setToolTip(source);
}

void GridStatus::refresh() {
  page_->setText(pageText(s_, std::max(0, pages_->value())));
  int preview = hovered_;
  if (preview == 0 && navigator_->isFramed()) preview = orvane::kGridCells * pages_->value() + navigator_->focusCell();
  tile_->setText(tileText(s_, preview));
}

bool GridStatus::eventFilter(QObject* watched, QEvent* event) {
  if (watched != grid_) return false;
  const QPoint inner = grid_->contentsRect().topLeft();
  switch (event->type()) {
    case QEvent::ToolTip: {
      const auto* help = static_cast<QHelpEvent*>(event);
      const QPoint at = help->pos() - inner;
      const QString text = tileText(s_, previewAt(at.x(), at.y()));
      if (text.isEmpty())
        QToolTip::hideText();
      else
        QToolTip::showText(help->globalPos(), text, grid_);
      return true;
    }
    case QEvent::MouseMove: {
      const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint() - inner;
      if (const int preview = previewAt(at.x(), at.y()); preview != hovered_) {
        hovered_ = preview;
        refresh();
      }
      return false;
    }
    case QEvent::Leave:
      hovered_ = 0;
      refresh();
      return false;
    default: return false;
  }
}
