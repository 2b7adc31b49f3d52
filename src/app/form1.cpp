// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QLayout>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <new>

#include "app/app_icon.h"
#include "app/grid_navigator.h"
#include "app/grid_status.h"
#include "app/import_dialog.h"
#include "app/insert_dialog.h"
#include "app/palette_window.h"
#include "app/picture_box.h"
#include "app/picture_import.h"
#include "app/put_back_dialog.h"
#include "app/recent_movies.h"
#include "app/shape_widget.h"
#include "display/drawing.h"
#include "display/grid.h"
#include "display/palette_choice.h"
#include "display/selection.h"
#include "orvane/version.h"
#include "shell/tags.h"
#include "workflow/history_steps.h"
#include "workflow/load_picture.h"
#include "workflow/open_movie.h"
#include "workflow/preview_export.h"
#include "workflow/put_back.h"
#include "workflow/startup.h"

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kClientWidth = 9495 / kTwipsPerPixel;   // 633
constexpr int kClientHeight = 5790 / kTwipsPerPixel;  // 386

// Twips to the nearest pixel (the upper bar's top, 4210 twips, lies between two).
int pixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

QRect twips(int left, int top, int width, int height) {
  return {pixels(left), pixels(top), pixels(width), pixels(height)};
}

QRect twips(const orvane::ShapeGeometry& g) { return twips(g.left, g.top, g.width, g.height); }

// Packed 0x00BBGGRR to a colour.
QColor packed(std::uint32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

QString fromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// One menu item: caption, object name, shortcut (none: an empty sequence) and handler.
template <class Menu, class Handler>
QAction* addItem(Menu* menu, Form1* form, const QString& caption, const char* name, const QKeySequence& keys,
                 Handler handler) {
  QAction* action = menu->addAction(caption, form, handler);
  action->setObjectName(name);
  action->setShortcut(keys);
  return action;
}

const QString kEmptyGridHint =
    QString::fromUtf8("Open a movie with File \u2192 Open mevrik Movie\u2026 or drop a .3mm file here");

}  // namespace

Form1::Form1(const std::string& appdir, QWidget* parent) : QMainWindow(parent) {
  core_ = std::make_unique<orvane::Core>(*this);
  core_->s.appdir = appdir;
  core_->decimalSeparator = QLocale().decimalPoint().toStdString();
  setWindowIcon(orvaneIcon());  // the dialogs, children of this window, show it too
  buildWindow();
  buildMenu();
  insertDialog_ = new InsertDialog(this, *core_);
  connect(insertDialog_, &InsertDialog::wrote, this, &Form1::refreshEditMenu);
  import_ = new PictureImport(*core_, this);
  connect(import_, &PictureImport::imported, this,
          [this](const QString& path) { status_->setPictureSource(QFileInfo(path).fileName()); });
  orvane::Form_Load(*core_);
  refreshEditMenu();
  restorePosition();
}

void Form1::restorePosition() {
  // Only onto a screen that is still there.
  const auto position = RecentMovies().windowPosition();
  if (position && QGuiApplication::screenAt(*position + QPoint(40, 40))) move(*position);
}

Form1::~Form1() = default;

void Form1::buildWindow() {
  setWindowTitle("Orvane");
  setAcceptDrops(true);
  auto* client = new QWidget(this);
  client->setFixedSize(kClientWidth, kClientHeight);
  setCentralWidget(client);

  const QColor boxBackground = palette().color(QPalette::Window);
  picture1_ = new PictureBox(client, twips(0, 0, 9255, 4095), boxBackground);
  picture1_->setObjectName("Picture1");
  connect(picture1_, &PictureBox::mouseDown, this, &Form1::selectPreviewAt);

  text1_ = new QPlainTextEdit(client);
  text1_->setObjectName("Text1");
  text1_->setGeometry(twips(0, 4200, 6015, 1575));
  text1_->setReadOnly(true);
  text1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  text1_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

  offex_ = new QScrollBar(Qt::Vertical, client);
  offex_->setObjectName("offex");
  offex_->setGeometry(twips(9240, 0, 255, 4095));
  offex_->setRange(0, 0);
  offex_->setPageStep(1);
  offex_->setTracking(false);  // the grid follows a dragged thumb only on release
  connect(offex_, &QScrollBar::valueChanged, this, &Form1::pageScrolled);

  // The frame is white through and through: a full bar leaves one white pixel at each end.
  shape2_ = new ShapeWidget(client, twips(orvane::kShape2), packed(orvane::kFrameWhite), packed(orvane::kFrameWhite));
  shape1_ = new ShapeWidget(client, twips(orvane::kShape1), packed(orvane::kBarBlue), packed(orvane::kBarBlue));
  shape3_ = new ShapeWidget(client, twips(orvane::kShape3), packed(orvane::kBarBlue), packed(orvane::kBarBlue));

  picture2_ = new PictureBox(client, twips(7200, 4440, 2220, 1275), boxBackground);
  picture2_->setObjectName("Picture2");

  // Created in tab order (Picture1, Text1, offex, Picture2): the focus chain
  // follows creation, and the shapes take no focus.

  picture1_->setHint(kEmptyGridHint);
  navigator_ = new GridNavigator(picture1_, offex_, core_->s, [this](int cell) { chooseCell(cell); });
  // Below everything else, so that no position above moves.
  status_ = new GridStatus(picture1_, offex_, navigator_, core_->s, statusBar());

  // Fixed layout: nothing reacts to resizing.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void Form1::buildMenu() {
  QMenu* open = menuBar()->addMenu("&File");
  open->setObjectName("Open");
  addItem(open, this, "Open &mevrik Movie...", "Opene", QKeySequence(Qt::CTRL | Qt::Key_O), &Form1::Opene_Click);
  recentMenu_ = open->addMenu("Open &Recent");
  recentMenu_->setObjectName("recent");
  connect(recentMenu_, &QMenu::aboutToShow, this, &Form1::fillRecentMenu);
  addItem(open, this, "Open &BMP...", "openbmp", QKeySequence(Qt::CTRL | Qt::Key_B), &Form1::openbmp_Click);
  addItem(open, this, "&Import Picture...", "importPicture", QKeySequence(Qt::CTRL | Qt::Key_I),
          &Form1::importPicture_Click);
  addItem(open, this, "Load P&alette...", "loadPalette", QKeySequence(), &Form1::loadPalette_Click);
  addItem(open, this, "&Export Previews...", "exportPreviews", QKeySequence(Qt::CTRL | Qt::Key_E),
          &Form1::exportPreviews_Click);
  addItem(open, this, "&Put Previews Back...", "putBack", QKeySequence(), &Form1::putBack_Click);
  open->addSeparator()->setObjectName("sep1");
  addItem(open, this, "E&xit", "exit", QKeySequence(Qt::CTRL | Qt::Key_Q), &Form1::exit_Click);

  // Edit: replacements taken back and made again, newest first.
  QMenu* edit = menuBar()->addMenu("&Edit");
  edit->setObjectName("Edit");
  undo_ = addItem(edit, this, "&Undo Replace", "undo", QKeySequence(Qt::CTRL | Qt::Key_Z), &Form1::undo_Click);
  redo_ =
      addItem(edit, this, "&Redo Replace", "redo", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), &Form1::redo_Click);
  connect(edit, &QMenu::aboutToShow, this, &Form1::refreshEditMenu);  // another program may have written meanwhile

  addItem(menuBar(), this, "&Show", "Draw", QKeySequence(Qt::Key_F5), &Form1::drawPage);

  QMenu* help = menuBar()->addMenu("&Help");
  help->setObjectName("Help");
  addItem(help, this, "&Palette", "palette", QKeySequence(), &Form1::palette_Click);
  addItem(help, this, "&About Orvane", "about", QKeySequence(), &Form1::about_Click);
}

QAction* Form1::action(const QString& name) const { return findChild<QAction*>(name); }

// ---- file commands ---------------------------------------------------------

QString Form1::pickFile(const QString& filter) {
  // Any failure of the dialog other than a cancel is reported, and the command
  // ends with nothing logged.
  try {
    if (chooseFile) return chooseFile(filter);
    QFileDialog cd(this);
    cd.setFileMode(QFileDialog::ExistingFile);
    cd.setAcceptMode(QFileDialog::AcceptOpen);
    cd.setNameFilter(filter);
    if (!lastFolder_.isEmpty()) cd.setDirectory(lastFolder_);
    cd.selectFile(QString());  // no file name carried over from the last time
    if (cd.exec() != QDialog::Accepted || cd.selectedFiles().isEmpty()) return {};
    return cd.selectedFiles().constFirst();
  } catch (const std::bad_alloc& e) {  // the one failure the dialog can report, by throwing
    messageBox("Real error! (1)", e.what(), orvane::BoxIcon::Critical);
    return {};
  }
}

// Both Open commands: a cancelled dialog ends them silently.
void Form1::Opene_Click() {
  if (const QString path = pickFile("MEVRIK movies (*.3mm)"); !path.isEmpty()) openMovie(path);
}

void Form1::openbmp_Click() {
  if (const QString path = pickFile("BMP files (*.bmp)"); !path.isEmpty()) openBmp(path);
}

// ---- picture import --------------------------------------------------------

void Form1::importPicture_Click() {
  QStringList patterns;
  for (const QByteArray& format : QImageReader::supportedImageFormats()) patterns << "*." + QString::fromLatin1(format);
  const QString path = pickFile("Pictures (" + patterns.join(' ') + ");;All files (*)");
  if (!path.isEmpty()) importPicture(path);
}

void Form1::importPicture(const QString& path) {
  orvane::convert::ConvertOptions options;
  {
    ImportDialog dialog(this, path, orvane::pictureColours(core_->s));
    if (dialog.hasPicture()) {
      if (!(frameImport ? frameImport(dialog) : dialog.exec() == QDialog::Accepted)) return;
      options = dialog.options();
    }
  }
  core_->logline("File selected, loading...", orvane::tag::Main);
  import_->start(QDir::toNativeSeparators(path).toStdString(), options);
}

void Form1::loadPalette_Click() {
  const QString path = pickFile("Palettes (*.palette *.gpl *.pal *.act *.bmp);;All files (*)");
  if (path.isEmpty()) return;
  rememberFolder(path);
  const std::string native = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()).toStdString();
  if (const orvane::Status chosen = orvane::chooseOwnPalette(*core_, native); !chosen) {
    messageBox(chosen.error().message, "Palette not loaded", orvane::BoxIcon::Critical);
    return;
  }
  // Everything on screen shows the new colours.
  orvane::drawPage(*core_);
  if (core_->s.pictureLoaded) paintBufferPicture(orvane::composeBuffer(core_->s));
  if (paletteWindow_) paletteWindow_->update();
}

void Form1::fillRecentMenu() {
  RecentMovies recent;
  for (const QString& gone : recent.removeMissing())
    core_->logline(("Removed from Open Recent, no longer there: " + QDir::toNativeSeparators(gone)).toStdString(),
                   orvane::tag::Main);
  recentMenu_->clear();
  const QStringList movies = recent.movies();
  for (int i = 0; i < movies.size(); ++i) {
    const QString shown = QDir::toNativeSeparators(movies[i]);
    QAction* item = recentMenu_->addAction(QString("&%1 %2").arg((i + 1) % 10).arg(shown));
    item->setObjectName(QString("recent%1").arg(i + 1));
    connect(item, &QAction::triggered, this, [this, movie = movies[i]] { openMovie(movie); });
  }
  if (movies.isEmpty()) recentMenu_->addAction("No recent movies")->setEnabled(false);
}

void Form1::palette_Click() {
  if (!paletteWindow_) paletteWindow_ = new PaletteWindow(core_->s, this);
  paletteWindow_->show();
  paletteWindow_->raise();
}

void Form1::openMovie(const QString& path) {
  // The dialog shows and acts on the movie it was opened for: it goes away.
  insertDialog_->hide();
  core_->logline("File selected, loading...", orvane::tag::Main);
  rememberFolder(path);
  const std::string native = QDir::toNativeSeparators(path).toStdString();
  if (const auto opened = orvane::loadfile3(*core_, native); !opened) {
    // Nothing changed: the previous movie, grid and counters stay as they were.
    messageBox("Could not open the movie " + native + ":\n" + opened.error().message, "", orvane::BoxIcon::Critical);
    return;
  }
  picture1_->setHint({});
  navigator_->restart();
  refreshEditMenu();
  setWindowTitle(QFileInfo(path).fileName() + QString::fromUtf8(" \u2014 Orvane"));
  RecentMovies().add(path);
  status_->refresh();
}

void Form1::openBmp(const QString& path) {
  core_->logline("File selected, loading...", orvane::tag::Main);
  rememberFolder(path);
  // A refused picture has been reported in the log (and a box where the user can act).
  if (orvane::loadblimp(*core_, QDir::toNativeSeparators(path).toStdString()))
    status_->setPictureSource(QFileInfo(path).fileName());
}

void Form1::rememberFolder(const QString& file) { lastFolder_ = QFileInfo(file).absolutePath(); }

void Form1::exit_Click() { QApplication::quit(); }

// ---- edit ------------------------------------------------------------------

void Form1::undo_Click() {
  orvane::undoReplace(*core_);  // every outcome has been told in the log or a box
  refreshEditMenu();
}

void Form1::redo_Click() {
  orvane::redoReplace(*core_);
  refreshEditMenu();
}

void Form1::refreshEditMenu() {
  const auto steps = orvane::availableSteps(core_->s.moviefile);
  undo_->setEnabled(steps && steps->undo);
  redo_->setEnabled(steps && steps->redo);
}

void Form1::about_Click() {
  QMessageBox::about(this, "About Orvane",
                     QString("<b>Orvane %1</b><p>Finds the scene previews inside Mevrik movies, shows them, "
                             "and replaces them with pictures of your own.</p>"
                             "<p>Orvane is free software: you can redistribute it and/or modify it under the "
                             "terms of the GNU General Public License, version 3 or (at your option) any later "
                             "version. It comes with no warranty.</p>")
                         .arg(orvane::kVersionText));
}

void Form1::exportPreviews_Click() {
  const orvane::Stores& s = core_->s;
  if (s.moviefile.empty() || s.piccount == 0) {
    messageBox(s.moviefile.empty()
                   ? "There is no movie to export from yet.\nPlease open one first with \"Open mevrik Movie...\"."
                   : "The open movie holds no scene previews to export.",
               "Nothing to export", orvane::BoxIcon::Information);
    return;
  }
  const QString folder =
      chooseFolder ? chooseFolder() : QFileDialog::getExistingDirectory(this, "Export previews to folder", lastFolder_);
  if (folder.isEmpty()) return;
  const std::string dir = QDir::toNativeSeparators(folder).toStdString();
  const auto items = orvane::exportPlan(s, dir);
  int existing = 0;
  for (const auto& item : items) existing += QFileInfo::exists(QString::fromStdString(item.path)) ? 1 : 0;
  if (existing > 0) {
    const QString question =
        QString("%1 of the %2 files already exist in %3.\nReplace them?").arg(existing).arg(items.size()).arg(folder);
    const bool yes =
        askYesNo ? askYesNo(question) : QMessageBox::question(this, "Replace files?", question) == QMessageBox::Yes;
    if (!yes) return;
  }
  orvane::exportPreviews(*core_, items, dir);
}

void Form1::putBack_Click() {
  const orvane::Stores& s = core_->s;
  if (s.moviefile.empty() || s.piccount == 0) {
    messageBox(
        s.moviefile.empty()
            ? "There is no movie to put previews back into yet.\nPlease open one first with \"Open mevrik Movie...\"."
            : "The open movie holds no scene previews to put back.",
        "Nothing to put back", orvane::BoxIcon::Information);
    return;
  }
  const QString folder = chooseFolder
                             ? chooseFolder()
                             : QFileDialog::getExistingDirectory(this, "Put previews back from folder", lastFolder_);
  if (folder.isEmpty()) return;
  const std::string dir = QDir::toNativeSeparators(folder).toStdString();
  const auto plan = orvane::planPutBack(s, dir, "bmp", orvane::bmpFileReader());
  if (!plan) {
    messageBox("Could not read the folder " + dir + ":\n" + plan.error().message, "", orvane::BoxIcon::Critical);
    return;
  }
  if (plan->named() == 0) {
    messageBox("No file in " + dir + " is named " + plan->pattern + ", as Export Previews names them.",
               "Nothing to put back", orvane::BoxIcon::Information);
    return;
  }
  PutBackDialog dialog(this, s, *plan);
  const bool yes = confirmPutBack ? confirmPutBack(dialog) : dialog.exec() == QDialog::Accepted;
  // A plan without changes writes nothing, but its findings go to the log.
  if (!yes && !plan->changes.empty()) return;
  orvane::putPreviewsBack(*core_, *plan);  // a failed write has been shown in a box
  refreshEditMenu();
}

void Form1::openDropped(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == "3mm") return openMovie(path);
  if (suffix == "bmp") return openBmp(path);
  importPicture(path);
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event) {
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) {
      // Opened once the drop is over: a picture opens the Import Picture
      // dialog, which must not hold the dragging program waiting.
      QTimer::singleShot(0, this, [this, path = url.toLocalFile()] { openDropped(path); });
      event->acceptProposedAction();
      return;  // one file at a time, like the Open dialog
    }
  }
}

void Form1::closeEvent(QCloseEvent* event) {
  // The main window going away ends the program; no other window outlives it.
  event->accept();
  RecentMovies().setWindowPosition(pos());
  insertDialog_->hide();
  QApplication::quit();
}

// ---- grid ------------------------------------------------------------------

void Form1::drawPage() { orvane::drawPage(*core_); }

void Form1::pageScrolled() { orvane::pageScrolled(*core_); }

void Form1::selectPreviewAt(Qt::MouseButton, Qt::KeyboardModifiers, double x, double y) {
  if (orvane::selectPreviewAt(*core_, x, y, offex_->value()) == 0) return;
  insertDialog_->showFor(QRect(picture1_->mapToGlobal(QPoint(0, 0)), picture1_->size()));
}

void Form1::chooseCell(int cell) {
  // Exactly what a click on the cell's top-left pixel does.
  selectPreviewAt(Qt::NoButton, Qt::NoModifier, core_->s.cellX(cell), core_->s.cellY(cell));
}

// ---- Host ------------------------------------------------------------------

void Form1::logAppended(std::string_view line) {
  // The exact text (CR LF ends) is kept by the log itself; the view shows it
  // with plain line breaks and only ever appends.
  QString shown = fromUtf8(line);
  shown.replace("\r\n", "\n");
  QTextCursor cursor(text1_->document());
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(shown);
  cursor.movePosition(QTextCursor::End);
  text1_->setTextCursor(cursor);
  text1_->ensureCursorVisible();
}

void Form1::barChanged(orvane::BarId bar, const orvane::BarLook& look) {
  ShapeWidget* shape = bar == orvane::BarId::Shape1 ? shape1_ : shape3_;
  const int pixels = static_cast<int>(look.widthTwips / kTwipsPerPixel + 0.5);
  shape->setLook(pixels, packed(look.borderColour), packed(look.fillColour));
}

void Form1::repaintNow() {
  // A scan asks for a repaint three times per preview. Painting the whole
  // window more often than the screen refreshes shows nothing new and made a
  // movie with 255 previews take most of a second to open, so repaints closer
  // together than one frame are left to the next one (or to the event loop
  // once the scan is over).
  if (lastRepaint_.isValid() && lastRepaint_.elapsed() < kFrameMilliseconds) {
    update();
    return;
  }
  repaint();
  lastRepaint_.start();
}

void Form1::messageBox(std::string_view text, std::string_view title, orvane::BoxIcon icon) {
  const QString caption = title.empty() ? QString("Orvane") : fromUtf8(title);
  QString body = fromUtf8(text);
  body.replace("\r\n", "\n");
  if (showBox) return showBox(body, caption, icon);
  QMessageBox box(icon == orvane::BoxIcon::Critical      ? QMessageBox::Critical
                  : icon == orvane::BoxIcon::Information ? QMessageBox::Information
                                                         : QMessageBox::NoIcon,
                  caption, body, QMessageBox::Ok, this);
  box.exec();
}

void Form1::setPageMaximum(int maximum) {
  // The bar's range normally starts at page 0; a movie without previews gets
  // -1, which the grid treats as "no page".
  offex_->setRange(std::min(0, maximum), maximum);
}

int Form1::pageValue() const { return offex_->value(); }

void Form1::clearGrid() { picture1_->clear(); }

void Form1::paintGridPicture(int x, int y, const orvane::Picture& picture) { picture1_->paintPicture(x, y, picture); }

void Form1::paintBufferPicture(const orvane::Picture& picture) {
  picture2_->paintPicture(0, 0, picture);
  // Every road that loads a picture draws it here, and so does every redraw
  // after the stores changed (a replacement, an undo): the open dialog, which
  // shows the same buffer beside the chosen preview, follows.
  if (insertDialog_ && insertDialog_->isVisible()) insertDialog_->copyout();
}
