// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Import Picture": the chosen picture, scaled to fit, with a 16:9 frame over
// it that says which part becomes the preview; the fit and the dithering; and
// the 144 x 81 result in the palette's colours at 1x and 3x, recomputed on a
// worker thread as the frame moves (a result overtaken by a newer frame is
// dropped). The frame moves by dragging it or with the arrow keys (Shift: in
// bigger steps), and is resized by dragging a corner, the mouse wheel or the
// + and - keys. OK hands back the options the import then runs with, the
// same as `orvane-cli convert --crop X,Y,W,H` for that frame; the picture is
// decoded anew for it, at the size the import decodes it.
//
// Only the crop fit uses the frame: pad and stretch show the whole picture
// (a 16:9 frame padded or stretched to 16:9 would be the crop again), so the
// frame is hidden while one of them is chosen.
#include <QDialog>
#include <QImage>
#include <functional>
#include <memory>
#include <vector>

#include "convert/convert.h"
#include "convert/frame.h"

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QThread;

namespace orvane::convert {
class PaletteMatcher;
}

// The picture with the frame over it: the keyboard and mouse part of the dialog.
class FrameView : public QWidget {
 public:
  FrameView(QWidget* parent, QImage picture, int fullWidth, int fullHeight);

  const orvane::convert::PictureRect& frame() const { return frame_; }
  void setFrame(const orvane::convert::PictureRect& frame);
  void setFrameShown(bool shown);
  // Called whenever the frame changes.
  std::function<void()> changed;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  orvane::convert::ViewMapping mapping() const;
  void moveTo(const orvane::convert::PictureRect& frame);  // repaints and tells when it changed

  QImage picture_;  // as shown, reduced
  int fullWidth_, fullHeight_;
  orvane::convert::PictureRect frame_;
  bool shown_ = true;
  enum class Drag { None, Move, Corner } drag_ = Drag::None;
  int anchorX_ = 0, anchorY_ = 0;         // a corner drag's fixed corner, picture pixels
  double grabX_ = 0, grabY_ = 0;          // a move's pointer, picture pixels
  orvane::convert::PictureRect grabbed_;  // the frame when the move began
};

class ImportDialog : public QDialog {
  Q_OBJECT
 public:
  // Reads `path` for showing; hasPicture() is false when it cannot be read, and
  // the import then says why. `colours` are the palette's picture colours.
  ImportDialog(QWidget* parent, const QString& path, std::vector<orvane::convert::Rgb8> colours);
  ~ImportDialog() override;  // waits for a preview still being computed

  bool hasPicture() const { return view_ != nullptr; }
  // The options OK imports with: the frame as a crop (none while it is the
  // full frame, which the crop fit takes anyway), the fit and the dithering.
  orvane::convert::ConvertOptions options() const;

  FrameView* frameView() const { return view_; }
  QComboBox* fitBox() const { return fit_; }
  QComboBox* ditherBox() const { return dither_; }
  QLabel* preview(int times) const { return times == 1 ? preview1_ : preview3_; }
  QDialogButtonBox* buttons() const { return buttons_; }
  // The options the preview on show was computed with.
  const orvane::convert::ConvertOptions& previewed() const { return previewed_; }

 signals:
  void previewShown();

 private:
  void schedulePreview();
  void startPreview();

  QImage reduced_;  // the picture as decoded once for showing and previewing
  int fullWidth_ = 0, fullHeight_ = 0;
  FrameView* view_ = nullptr;
  QComboBox* fit_ = nullptr;
  QComboBox* dither_ = nullptr;
  QLabel* preview1_ = nullptr;
  QLabel* preview3_ = nullptr;
  QDialogButtonBox* buttons_ = nullptr;
  std::vector<orvane::convert::Rgb8> colours_;
  std::shared_ptr<orvane::convert::PaletteMatcher> matcher_;  // used by one worker at a time
  QThread* worker_ = nullptr;
  int wanted_ = 0;  // the newest request; a result of an older one is dropped
  orvane::convert::ConvertOptions previewed_;
};
