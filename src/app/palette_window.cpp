// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/palette_window.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include "display/palette.h"

namespace {

constexpr int kEntries = orvane::kHighestPictureColour + 1;
// The greys on the first row, then one row for each hue's shades.
constexpr int kRows = 1 + orvane::kHues;
static_assert(orvane::kGreys <= PaletteWindow::kColumns && orvane::kShades <= PaletteWindow::kColumns);
static_assert(orvane::kGreys + orvane::kHues * orvane::kShades == kEntries);

}  // namespace

PaletteWindow::PaletteWindow(const orvane::Stores& stores, QWidget* parent) : QDialog(parent), s_(stores) {
  setWindowTitle("Palette");
  setFixedSize(kColumns * kSwatchWidth, kRows * kSwatchHeight);
}

QPoint PaletteWindow::cellOf(int entry) {
  if (entry < orvane::kGreys) return {entry, 0};
  const int shade = entry - orvane::kGreys;
  return {shade % orvane::kShades, 1 + shade / orvane::kShades};
}

int PaletteWindow::entryAt(QPoint point) {
  if (point.x() < 0 || point.y() < 0) return -1;
  const int column = point.x() / kSwatchWidth, row = point.y() / kSwatchHeight;
  if (row == 0) return column < orvane::kGreys ? column : -1;
  if (row >= kRows || column >= orvane::kShades) return -1;
  return orvane::kGreys + (row - 1) * orvane::kShades + column;
}

void PaletteWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QFont small = font();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  painter.setFont(small);
  for (int e = 0; e < kEntries; ++e) {
    const QColor colour = QColor::fromRgb(orvane::paletteArgb(s_, e));
    const QPoint cell = cellOf(e);
    const QRect swatch(cell.x() * kSwatchWidth, cell.y() * kSwatchHeight, kSwatchWidth, kSwatchHeight);
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
      QToolTip::showText(
          help->globalPos(),
          QString("Entry %1: red %2, green %3, blue %4").arg(e).arg(c.red()).arg(c.green()).arg(c.blue()));
    } else {
      QToolTip::hideText();
    }
    return true;
  }
  return QDialog::event(event);
}
