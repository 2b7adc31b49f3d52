// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/palette_window.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include "display/palette.h"

namespace {

constexpr int kEntries = orvane::kHighestPictureColour + 1;
constexpr int kRows = (kEntries + PaletteWindow::kColumns - 1) / PaletteWindow::kColumns;

}  // namespace

PaletteWindow::PaletteWindow(const orvane::Stores& stores, QWidget* parent) : QDialog(parent), s_(stores) {
  setWindowTitle("Palette");
  setFixedSize(kColumns * kSwatchWidth, kRows * kSwatchHeight);
}

int PaletteWindow::entryAt(QPoint point) {
  if (point.x() < 0 || point.y() < 0) return -1;
  const int column = point.x() / kSwatchWidth, row = point.y() / kSwatchHeight;
  const int entry = row * kColumns + column;
  return column < kColumns && entry < kEntries ? entry : -1;
}

void PaletteWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QFont small = font();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  painter.setFont(small);
  for (int e = 0; e < kEntries; ++e) {
    const QColor colour = QColor::fromRgb(orvane::paletteArgb(s_, e));
    const QRect swatch((e % kColumns) * kSwatchWidth, (e / kColumns) * kSwatchHeight, kSwatchWidth, kSwatchHeight);
    painter.fillRect(swatch, colour);
    // The number in black on light colours and in white on dark ones.
    painter.setPen(qGray(colour.rgb()) > 128 ? Qt::black : Qt::white);
    painter.drawText(swatch, Qt::AlignCenter, QString::number(e));
  }
}

bool PaletteWindow::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    if (const int e = entryAt(help->pos()); e >= 0) {
      const QColor c = QColor::fromRgb(orvane::paletteArgb(s_, e));
      QToolTip::showText(help->globalPos(), QString("Entry %1: red %2, green %3, blue %4").arg(e).arg(c.red()).arg(c.green()).arg(c.blue()));
    } else {
      QToolTip::hideText();
    }
    return true;
  }
  return QDialog::event(event);
}
