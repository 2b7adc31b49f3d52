// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: the preview grid and its page bar, the picture-buffer view,
// the activity log and the two progress bars, with the File, Show and Help
// menus and their shortcuts.
// It wires the widgets to the toolkit-free logic and implements the Host
// interface that logic reports through.
#include <QElapsedTimer>
#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>

#include "shell/core.h"

class PaletteWindow;
class PictureBox;
class ImportDialog;
class PictureImport;
class PutBackDialog;
class QPlainTextEdit;
class QScrollBar;
class ShapeWidget;
class InsertDialog;
class QAction;
class GridNavigator;
class GridStatus;
class QMenu;

class Form1 : public QMainWindow, public orvane::Host {
  Q_OBJECT
 public:
  // appdir: the application directory, ending in one separator.
  explicit Form1(const std::string& appdir, QWidget* parent = nullptr);
  ~Form1() override;

  orvane::Core& core() { return *core_; }

  // Loads a movie or a BMP as if it had been picked in the Open dialog.
  void openMovie(const QString& path);
  void openBmp(const QString& path);
  // Imports a picture of any format as "Import Picture..." does, after the
  // Import Picture dialog (a file it cannot show is imported straight away, and
  // the import says why it fails); the picture goes in when importer()
  // signals finished. Cancel leaves everything as it was.
  void importPicture(const QString& path);
  PictureImport* importer() const { return import_; }

  // Seams for tests: the file picker (returns an empty string on cancel) and
  // the message boxes (shown modally unless replaced).
  std::function<QString(const QString& filter)> chooseFile;
  std::function<void(const QString& text, const QString& title, orvane::BoxIcon icon)> showBox;
  // The folder picker (empty on cancel) and a yes/no question.
  std::function<QString()> chooseFolder;
  std::function<bool(const QString& text)> askYesNo;
  // The Put Previews Back? dialog's answer (shown modally unless replaced):
  // true for Yes.
  std::function<bool(PutBackDialog& dialog)> confirmPutBack;
  // The Import Picture dialog's answer (shown modally unless replaced): true
  // for OK, which imports with the dialog's options.
  std::function<bool(ImportDialog& dialog)> frameImport;

  // A file handed over by drag and drop or the command line: a movie or a BMP
  // opens as its menu command would; anything else is imported as a picture.
  void openDropped(const QString& path);

  // Widgets, for tests and the dialog.
  PictureBox* picture1() const { return picture1_; }
  PictureBox* picture2() const { return picture2_; }
  QScrollBar* offex() const { return offex_; }
  QPlainTextEdit* text1() const { return text1_; }
  ShapeWidget* shape1() const { return shape1_; }
  ShapeWidget* shape3() const { return shape3_; }
  InsertDialog* insertDialog() const { return insertDialog_; }
  GridNavigator* navigator() const { return navigator_; }
  GridStatus* gridStatus() const { return status_; }
  QMenu* recentMenu() const { return recentMenu_; }
  QAction* action(const QString& name) const;
  // The folder the Open dialogs start in: the one last used in this run
  // (empty before any, when the dialog's own default applies).
  const QString& openFolder() const { return lastFolder_; }

  // Host
  void logAppended(std::string_view line) override;
  void barChanged(orvane::BarId bar, const orvane::BarLook& look) override;
  void repaintNow() override;
  void messageBox(std::string_view text, std::string_view title, orvane::BoxIcon icon) override;
  void setPageMaximum(int maximum) override;
  int pageValue() const override;
  void clearGrid() override;
  void paintGridPicture(int x, int y, const orvane::Picture& picture) override;
  void paintBufferPicture(const orvane::Picture& picture) override;

 public slots:
  void Opene_Click();
  void openbmp_Click();
  void importPicture_Click();
  void palette_Click();
  void loadPalette_Click();
  void exit_Click();
  void exportPreviews_Click();
  void putBack_Click();
  void about_Click();
  void undo_Click();
  void redo_Click();
  void drawPage();
  void pageScrolled();
  void selectPreviewAt(Qt::MouseButton button, Qt::KeyboardModifiers shift, double x, double y);
  // The keyboard chose grid cell 1..12 of the current page.
  void chooseCell(int cell);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void buildWindow();
  void buildMenu();
  // Puts the window where the user last left it, when that is on a screen.
  void restorePosition();
  // Open Recent's items, the movies that are gone taken out (and logged).
  void fillRecentMenu();
  // Enables Undo and Redo as the open movie's journal allows.
  void refreshEditMenu();
  // Shows the Open dialog with one filter; empty when the user cancelled or
  // the dialog failed (which is reported).
  QString pickFile(const QString& filter);
  void rememberFolder(const QString& file);

  static constexpr qint64 kFrameMilliseconds = 16;
  QElapsedTimer lastRepaint_;
  std::unique_ptr<orvane::Core> core_;
  PictureBox* picture1_ = nullptr;
  PictureBox* picture2_ = nullptr;
  QScrollBar* offex_ = nullptr;
  QPlainTextEdit* text1_ = nullptr;
  ShapeWidget* shape2_ = nullptr;
  ShapeWidget* shape1_ = nullptr;
  ShapeWidget* shape3_ = nullptr;
  InsertDialog* insertDialog_ = nullptr;
  GridNavigator* navigator_ = nullptr;
  GridStatus* status_ = nullptr;
  QMenu* recentMenu_ = nullptr;
  QString lastFolder_;
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
  PictureImport* import_ = nullptr;
  PaletteWindow* paletteWindow_ = nullptr;
};
