// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Help -> Palette: the palette entries a picture may use (0..150) as numbered
// swatches, the sixteen greys on the first row and each hue's nine shades on a
// row of its own, with each entry's red, green and blue on hover.
#include <QDialog>

#include "shell/stores.h"

class PaletteWindow : public QDialog {
  Q_OBJECT
 public:
  PaletteWindow(const orvane::Stores& stores, QWidget* parent = nullptr);

  static constexpr int kColumns = 16;
  static constexpr int kSwatchWidth = 40, kSwatchHeight = 28;
  // The entry whose swatch holds the point, or -1.
  static int entryAt(QPoint point);
  // The column (x) and row (y) of an entry's swatch.
  static QPoint cellOf(int entry);

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;

 private:
  const orvane::Stores& s_;
};
