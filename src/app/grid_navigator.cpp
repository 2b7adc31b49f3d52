// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/grid_navigator.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <algorithm>

#include "app/picture_box.h"
#include "shell/picture.h"

GridNavigator::GridNavigator(PictureBox* grid, QScrollBar* pages, const orvane::Stores& s,
                             std::function<void(int cell)> choose)
    : QObject(grid), grid_(grid), pages_(pages), s_(s), choose_(std::move(choose)) {
  grid_->installEventFilter(this);
  connect(pages_, &QScrollBar::valueChanged, this, &GridNavigator::place);
}

int GridNavigator::focusCell() const {
  // On a last page with fewer previews the frame sits on the last one.
  const long long first = 12LL * pages_->value();
  const long long shown = std::clamp<long long>(s_.piccount - first, 0, orvane::kGridCells);
  return shown == 0 ? 0 : std::min<int>(cell_, static_cast<int>(shown));
}

void GridNavigator::restart() {
  cell_ = 1;
  place();
}

void GridNavigator::place() {
  const int cell = focusCell();
  if (!keyboard_ || cell == 0)
    grid_->setFocusFrame({});
  else
    grid_->setFocusFrame(QRect(s_.cellX(cell), s_.cellY(cell), orvane::kPictureWidth, orvane::kPictureHeight));
  emit framed();
}

void GridNavigator::frame(int n) {
  if (n < 1 || n > s_.piccount) return;
  cell_ = (n - 1) % orvane::kGridCells + 1;
  keyboard_ = true;
  const int page = (n - 1) / orvane::kGridCells;
  if (page != pages_->value())
    pages_->setValue(page);  // the bar's change redraws the grid and places the frame
  else
    place();
}

bool GridNavigator::keyPressed(int key) {
  const int cell = focusCell();
  const int current = cell == 0 ? 0 : orvane::kGridCells * pages_->value() + cell;
  switch (key) {
    case Qt::Key_Left: frame(current - 1); return true;
    case Qt::Key_Right: frame(current + 1); return true;
    case Qt::Key_Up: frame(current - 4); return true;
    case Qt::Key_Down: frame(current + 4); return true;
    case Qt::Key_Home: frame(1); return true;
    case Qt::Key_End: frame(s_.piccount); return true;
    case Qt::Key_PageUp: pages_->triggerAction(QAbstractSlider::SliderPageStepSub); return true;
    case Qt::Key_PageDown: pages_->triggerAction(QAbstractSlider::SliderPageStepAdd); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      keyboard_ = true;
      place();
      if (cell != 0) choose_(cell);
      return true;
    default: return false;
  }
}

bool GridNavigator::eventFilter(QObject* watched, QEvent* event) {
  if (watched != grid_) return false;
  switch (event->type()) {
    case QEvent::Wheel: QCoreApplication::sendEvent(pages_, event); return true;
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)) return false;
      return keyPressed(key->key());
    }
    case QEvent::MouseButtonPress:
      keyboard_ = false;
      place();
      return false;
    case QEvent::FocusIn: {
      const auto reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) {
        keyboard_ = true;
        place();
      }
      return false;
    }
    default: return false;
  }
}
