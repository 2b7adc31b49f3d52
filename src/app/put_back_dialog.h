// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Put Previews Back?": one confirmation for a whole folder. Each scene that
// will change is listed with its number and file, the new picture beside the
// preview as it is now (as Insert? shows one), in a list that scrolls; below
// it what stays as it is, and every refused and ignored file with the reason.
// "Yes" accepts, "No" declines; a plan without changes offers only "Close".
#include <QDialog>

#include "shell/stores.h"
#include "workflow/put_back.h"

class PictureBox;
class QDialogButtonBox;
class QLabel;
class QPlainTextEdit;
class QScrollArea;

class PutBackDialog : public QDialog {
  Q_OBJECT
 public:
  PutBackDialog(QWidget* parent, const orvane::Stores& s, const orvane::PutBackPlan& plan);

  // The number of scenes listed, and the pictures of scene row i (0-based):
  // its new picture and its preview as it is now.
  int sceneCount() const { return sceneCount_; }
  PictureBox* newPicture(int i) const;
  PictureBox* oldPicture(int i) const;
  QPlainTextEdit* notes() const { return notes_; }  // null when nothing was refused or ignored
  QDialogButtonBox* buttons() const { return buttons_; }

 private:
  QWidget* sceneRow(const orvane::Stores& s, const orvane::PlannedScene& scene);

  int sceneCount_ = 0;
  QScrollArea* list_ = nullptr;
  QPlainTextEdit* notes_ = nullptr;
  QDialogButtonBox* buttons_ = nullptr;
};
