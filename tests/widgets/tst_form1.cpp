// SPDX-License-Identifier: GPL-3.0-or-later
// The main window on the offscreen platform: layout, menu, start-up, the log
// view, the bars, and the whole road from opening a movie to replacing a preview.
#include <QAction>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <fstream>

#include "app/form1.h"
#include "app/grid_navigator.h"
#include "app/grid_status.h"
#include "app/import_dialog.h"
#include "app/insert_dialog.h"
#include "app/palette_window.h"
#include "app/picture_box.h"
#include "app/picture_import.h"
#include "app/put_back_dialog.h"
#include "app/shape_widget.h"
#include "display/drawing.h"
#include "display/palette.h"
#include "previews/record_format.h"
#include "support/bmp_fixture.h"

namespace {

const std::string kRuntime = std::string(ORVANE_RUNTIME_DIR) + "/";

struct Box {
  QString text, title;
  orvane::BoxIcon icon;
};

QByteArray readAll(const QString& path) {
  QFile f(path);
  f.open(QIODevice::ReadOnly);
  return f.readAll();
}

// A 144 x 81, 8-bit, bottom-up BMP whose picture row y (0 = top) holds value (y % 100) + 1.
QByteArray makeBmp() {
  const auto bytes = orvane::testing::validBmp(
      orvane::testing::pictureRows([](int, int y) { return static_cast<std::uint8_t>(y % 100 + 1); }));
  return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

// A writable copy of the demo movie in `dir`.
QString demoCopy(const QTemporaryDir& dir, const QString& name) {
  const QString movie = dir.filePath(name);
  QFile::copy(QString::fromStdString(kRuntime + "demo.3mm"), movie);
  QFile::setPermissions(movie, QFile::ReadOwner | QFile::WriteOwner);
  return movie;
}

// makeBmp's picture as a file in `dir`.
QString bmpFile(const QTemporaryDir& dir, const QString& name) {
  const QString path = dir.filePath(name);
  QFile f(path);
  if (f.open(QIODevice::WriteOnly)) f.write(makeBmp());
  return path;
}

}  // namespace

class TestForm1 : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<Form1> makeForm() {
    auto form = std::make_unique<Form1>(kRuntime);
    form->showBox = [this](const QString& text, const QString& title, orvane::BoxIcon icon) {
      boxes.push_back({text, title, icon});
    };
    form->frameImport = [](ImportDialog&) { return true; };  // OK, the frame as it opens
    return form;
  }
  std::vector<Box> boxes;
  QTemporaryDir configHome;

 private slots:
  // Settings (recent movies, the window's place, the chosen palette) go to a
  // folder of this run's own.
  void initTestCase() { qputenv("XDG_CONFIG_HOME", configHome.path().toUtf8()); }
  void init() {
    boxes.clear();
    QDir(configHome.path()).removeRecursively();
  }

  void layoutAndMenuAreFixed() {
    auto form = makeForm();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QCOMPARE(form->windowTitle(), QString("Orvane"));
    QCOMPARE(form->centralWidget()->size(), QSize(633, 386));
    QCOMPARE(form->picture1()->geometry(), QRect(0, 0, 617, 273));
    QCOMPARE(form->picture1()->contentsRect().size(), QSize(613, 269));
    QCOMPARE(form->offex()->geometry(), QRect(616, 0, 17, 273));
    QCOMPARE(form->text1()->geometry(), QRect(0, 280, 401, 105));
    QCOMPARE(form->picture2()->geometry(), QRect(480, 296, 148, 85));
    QCOMPARE(form->picture2()->contentsRect().size(), QSize(144, 81));
    QVERIFY(form->text1()->isReadOnly());

    const QList<QAction*> top = form->menuBar()->actions();
    QCOMPARE(top.size(), 4);
    QCOMPARE(top[0]->text(), QString("&File"));
    QCOMPARE(top[1]->text(), QString("&Edit"));
    QCOMPARE(top[2]->text(), QString("&Show"));
    QVERIFY(!top[2]->menu());  // acts when clicked
    QCOMPARE(top[3]->text(), QString("&Help"));
    QStringList items;
    for (QAction* a : top[0]->menu()->actions()) items << (a->isSeparator() ? QString("-") : a->text());
    QCOMPARE(items, QStringList({"Open &mevrik Movie...", "Open &Recent", "Open &BMP...", "&Import Picture...",
                                 "Load P&alette...", "&Export Previews...", "&Put Previews Back...", "-", "E&xit"}));
    QCOMPARE(top[0]->menu()->actions()[3]->shortcut(), QKeySequence("Ctrl+I"));
    QStringList help;
    for (QAction* a : top[3]->menu()->actions()) help << a->text();
    QCOMPARE(help, QStringList({"&Palette", "&About Orvane"}));

    // Tab order: Picture1, Text1, offex, Picture2.
    QStringList order;
    QWidget* w = form->picture1();
    for (int i = 0; i < 100 && order.size() < 4; ++i, w = w->nextInFocusChain())
      if (QStringList({"Picture1", "Text1", "offex", "Picture2"}).contains(w->objectName()) &&
          !order.contains(w->objectName()))
        order << w->objectName();
    QCOMPARE(order, QStringList({"Picture1", "Text1", "offex", "Picture2"}));

    const QSize before = form->size();
    form->resize(before + QSize(200, 200));
    QCoreApplication::processEvents();
    QCOMPARE(form->size(), before);
  }

  void startUpLogsAndRestingBars() {
    auto form = makeForm();
    const std::string& text = form->core().log.text();
    QVERIFY(text.rfind("About:Orvane v0.9\r\nAbout:", 0) == 0);
    QVERIFY(text.find("\r\nPalette:Starting to load palette\r\nPalette:Palette loaded.\r\n") != std::string::npos);
    QVERIFY(text.find("\r\nPalette:Colours from ") != std::string::npos);
    QCOMPARE(form->text1()->toPlainText().count('\n'), 5);
    QCOMPARE(form->text1()->textCursor().position(), form->text1()->document()->characterCount() - 1);
    QCOMPARE(form->shape1()->width(), 223);
    QCOMPARE(form->shape3()->width(), 223);
    QCOMPARE(form->shape1()->fill(), QColor(0, 0, 255));
    QCOMPARE(form->shape3()->fill(), QColor(192, 192, 192));
  }

  void logViewAppendsAndKeepsTheCaretAtTheEnd() {
    auto form = makeForm();
    for (int i = 0; i < 300; ++i) form->core().logline("line " + std::to_string(i), orvane::Tag{2});
    const QString shown = form->text1()->toPlainText();
    QVERIFY(shown.endsWith("Scanner:line 299\n"));
    QCOMPARE(form->text1()->textCursor().position(), form->text1()->document()->characterCount() - 1);
    QVERIFY(!form->text1()->textCursor().hasSelection());
  }

  void gridPagesAndShowRepaints() {
    auto form = makeForm();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    form->openMovie(QString::fromStdString(kRuntime + "demo.3mm"));
    QCOMPARE(form->core().s.piccount, 16);
    QCOMPARE(form->offex()->maximum(), 1);
    const QImage page0 = form->picture1()->image();
    // Cell 12 shows preview 12 on page 0; on page 1 only cells 1..4 are filled.
    const QColor background = page0.pixelColor(612, 268);
    QVERIFY(page0.pixelColor(462 + 70, 180 + 40) != background);
    form->offex()->setValue(1);
    QCOMPARE(form->core().s.page, 1);
    const QImage page1 = form->picture1()->image();
    QVERIFY(page1.pixelColor(462 + 70, 40) != background);
    QCOMPARE(page1.pixelColor(70, 90 + 40), background);
    // The grid pixels are exactly the composed previews.
    const orvane::Picture p13 = orvane::composePreview(form->core().s, 13);
    QCOMPARE(page1.pixel(5, 7), p13.at(5, 7));
  }

  void cancelledDialogsChangeNothing() {
    auto form = makeForm();
    form->chooseFile = [](const QString&) { return QString(); };
    const std::string before = form->core().log.text();
    form->Opene_Click();
    form->openbmp_Click();
    QCOMPARE(form->core().log.text(), before);
  }

  void unreadableMovieIsReportedAndKeepsThePreviousOne() {
    auto form = makeForm();
    form->openMovie(QString::fromStdString(kRuntime + "demo.3mm"));
    form->openMovie("/nonexistent/folder/movie.3mm");
    QCOMPARE(form->core().s.piccount, 16);
    QCOMPARE(int(boxes.size()), 1);
    QVERIFY(boxes[0].text.contains("/nonexistent/folder/movie.3mm"));
    QCOMPARE(boxes[0].icon, orvane::BoxIcon::Critical);
    QVERIFY(form->core().log.text().rfind("Main:File selected, loading...\r\n") ==
            form->core().log.text().size() - std::string("Main:File selected, loading...\r\n").size());
  }

  void wholeRoadClickPreviewSeeBothPicturesAndReplace() {
    QTemporaryDir dir;
    const QString movie = dir.filePath("road.3mm");
    QFile::copy(QString::fromStdString(kRuntime + "demo.3mm"), movie);
    QFile::setPermissions(movie, QFile::ReadOwner | QFile::WriteOwner);
    const QString bmp = dir.filePath("Picture.BMP");
    {
      QFile f(bmp);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(makeBmp());
    }
    const QByteArray original = readAll(movie);

    auto form = makeForm();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    form->chooseFile = [&](const QString& filter) { return filter.contains("3mm") ? movie : bmp; };
    form->Opene_Click();
    form->openbmp_Click();
    QVERIFY(form->core().log.text().find("BMPsys:Image loaded, checking for errors...") != std::string::npos);

    // Any button selects; the last column and row of a cell's hit area still count.
    QTest::mouseClick(form->picture1(), Qt::RightButton, {}, QPoint(2 + 154 + 144, 2 + 0 + 81));
    InsertDialog* dialog = form->insertDialog();
    QVERIFY(dialog->isVisible());
    QCOMPARE(int(form->core().s.selpic), 2);
    QVERIFY(dialog->timer1()->isActive());
    QCOMPARE(dialog->timer1()->interval(), 75);
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->timer1()->isActive(), 1000);
    QCOMPARE(dialog->picture1()->image().pixel(0, 0), orvane::composeBuffer(form->core().s).at(0, 0));
    QCOMPARE(dialog->picture2()->image().pixel(10, 10), orvane::composePreview(form->core().s, 2).at(10, 10));

    // A click in the gap between cells selects nothing; a second preview replaces the choice.
    QTest::mouseClick(form->picture1(), Qt::LeftButton, {}, QPoint(2 + 154 + 145, 2 + 10));
    QCOMPARE(int(form->core().s.selpic), 2);
    QTest::mouseClick(form->picture1(), Qt::LeftButton, {}, QPoint(2 + 308 + 10, 2 + 90 + 10));
    QCOMPARE(int(form->core().s.selpic), 7);

    QTest::mouseClick(dialog->command2(), Qt::LeftButton);  // "No"
    QVERIFY(!dialog->isVisible());
    QCOMPARE(readAll(movie), original);

    QTest::mouseClick(form->picture1(), Qt::LeftButton, {}, QPoint(2 + 308 + 10, 2 + 90 + 10));
    QVERIFY(dialog->isVisible());
    QTest::mouseClick(dialog->command1(), Qt::LeftButton);  // "Yes"
    QVERIFY(!dialog->isVisible());
    QVERIFY(boxes.size() >= 1);
    QCOMPARE(boxes.back().text, QString("Done,Scene preview was replaced."));
    QVERIFY(form->core().log.text().find("Replace:Scene replaced.") != std::string::npos);
    const QByteArray after = readAll(movie);
    QCOMPARE(after.size(), original.size());
    QVERIFY(after != original);

    // Reopened, preview 7 is the picture, upright: its top row holds value 1.
    form->openMovie(movie);
    QCOMPARE(int(form->core().s.previewPixel(7, 0, 0)), 1);
    QCOMPARE(int(form->core().s.previewPixel(7, 80, 0)), 81);
  }

  void droppedFilesOpenByKindAndOthersAreImported() {
    auto form = makeForm();
    const std::size_t before = form->core().log.text().size();
    QSignalSpy imported(form->importer(), &PictureImport::finished);
    form->openDropped("/nonexistent/notes.txt");
    QVERIFY(imported.wait(5000));
    QCOMPARE(QString::fromStdString(form->core().log.text().substr(before)),
             QString("Main:File selected, loading...\r\nImport:Importing /nonexistent/notes.txt...\r\n"
                     "Import:Cannot import /nonexistent/notes.txt: No such file or directory.\r\n"));
    form->openDropped(QString::fromStdString(kRuntime + "DEMO.3MM"));  // routed as a movie, even in capitals
    QVERIFY(form->core().log.text().find("Main:File selected, loading...", before) != std::string::npos);
    QCOMPARE(int(boxes.size()), 1);  // no such file: reported as an unreadable movie
    form->openDropped(QString::fromStdString(kRuntime + "demo.3mm"));
    QCOMPARE(form->core().s.piccount, 16);
    QTemporaryDir dir;
    QFile bmp(dir.filePath("p.bmp"));
    QVERIFY(bmp.open(QIODevice::WriteOnly));
    bmp.write(makeBmp());
    bmp.close();
    form->openDropped(bmp.fileName());
    QVERIFY(form->core().s.pictureLoaded);
    QVERIFY(form->core().log.text().find("BMPsys:Image loaded, checking for errors...") != std::string::npos);
  }

  // The road of a new user: drop a photo, see it converted, click a scene, Yes.
  void aDroppedPhotoBecomesTheScenePreview() {
    QTemporaryDir dir;
    const QString movie = dir.filePath("trip.3mm");
    QFile::copy(QString::fromStdString(kRuntime + "demo.3mm"), movie);
    QFile::setPermissions(movie, QFile::ReadOwner | QFile::WriteOwner);
    QImage photo(640, 480, QImage::Format_RGB32);
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x) photo.setPixel(x, y, qRgb(x * 255 / 639, 90, y * 255 / 479));
    const QString jpeg = dir.filePath("Holiday.jpg");
    QVERIFY(photo.save(jpeg));

    auto form = makeForm();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    form->openMovie(movie);
    QSignalSpy imported(form->importer(), &PictureImport::finished);
    form->openDropped(jpeg);
    QVERIFY(form->importer()->running() || imported.size() == 1);
    QVERIFY(imported.size() == 1 || imported.wait(5000));
    QVERIFY(form->core().log.text().find("Import:640 x 480 picture, cropped to fill 144 x 81, Floyd-Steinberg "
                                         "dithering\r\nRepairer:Starting repairs...") != std::string::npos);
    QCOMPARE(form->picture2()->image().pixel(70, 40), orvane::composeBuffer(form->core().s).at(70, 40));

    QTest::mouseClick(form->picture1(), Qt::LeftButton, {}, QPoint(2 + 10, 2 + 10));  // scene 1
    QTest::mouseClick(form->insertDialog()->command1(), Qt::LeftButton);              // "Yes"
    QCOMPARE(boxes.back().text, QString("Done,Scene preview was replaced."));
    const orvane::Picture wanted = orvane::composeBuffer(form->core().s);
    form->openMovie(movie);
    QCOMPARE(orvane::composePreview(form->core().s, 1).argb, wanted.argb);
  }

  void thePaletteWindowShowsEveryPictureColourNumbered() {
    auto form = makeForm();
    form->palette_Click();
    auto* window = form->findChild<PaletteWindow*>();
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->windowTitle(), QString("Palette"));
    // The greys on the first row, then each hue's nine shades on a row of its own.
    QCOMPARE(PaletteWindow::entryAt(QPoint(15 * 40 + 3, 0 * 28 + 3)), 15);
    QCOMPARE(PaletteWindow::entryAt(QPoint(3 * 40 + 3, 3 * 28 + 3)), 37);
    QCOMPARE(PaletteWindow::entryAt(QPoint(9 * 40 + 3, 3 * 28 + 3)), -1);  // past a hue's last shade
    QCOMPARE(PaletteWindow::entryAt(QPoint(8 * 40 + 3, 15 * 28 + 3)), 150);
    QCOMPARE(PaletteWindow::entryAt(QPoint(0 * 40 + 3, 16 * 28 + 3)), -1);
    for (int e = 0; e <= 150; ++e) {
      const QPoint cell = PaletteWindow::cellOf(e);
      QCOMPARE(PaletteWindow::entryAt(QPoint(cell.x() * 40 + 1, cell.y() * 28 + 1)), e);
    }
    const QImage shown = window->grab().toImage();
    QCOMPARE(shown.pixel(3 * 40 + 2, 3 * 28 + 2), orvane::paletteArgb(form->core().s, 37));
  }

  void exportAsksBeforeOverwritingAndWritesEveryPreview() {
    auto form = makeForm();
    form->exportPreviews_Click();  // no movie yet
    QCOMPARE(int(boxes.size()), 1);
    QCOMPARE(boxes[0].title, QString("Nothing to export"));

    QTemporaryDir dir;
    form->openMovie(QString::fromStdString(kRuntime + "demo.3mm"));
    form->chooseFolder = [&] { return dir.path(); };
    int questions = 0;
    bool answer = false;
    form->askYesNo = [&](const QString&) {
      ++questions;
      return answer;
    };
    form->exportPreviews_Click();
    QCOMPARE(questions, 0);
    QCOMPARE(QDir(dir.path()).entryList({"demo-*.bmp"}).size(), 16);
    QVERIFY(form->core().log.text().find("Extract:Exported 16 of 16 previews to") != std::string::npos);

    QFile::remove(dir.filePath("demo-001.bmp"));
    const std::size_t before = form->core().log.text().size();
    form->exportPreviews_Click();  // answered "No": nothing is written
    QCOMPARE(questions, 1);
    QVERIFY(!QFile::exists(dir.filePath("demo-001.bmp")));
    QCOMPARE(form->core().log.text().size(), before);
    QImage exported(dir.filePath("demo-002.bmp"));
    QCOMPARE(exported.size(), QSize(144, 81));
    QCOMPARE(exported.pixel(5, 7), orvane::composePreview(form->core().s, 2).at(5, 7));
  }

  void iconShortcutsAndTheLastFolder() {
    auto form = makeForm();
    QVERIFY(!form->windowIcon().isNull());
    QCOMPARE(form->insertDialog()->windowIcon().cacheKey(), form->windowIcon().cacheKey());
    const QList<std::pair<const char*, QKeySequence>> keys = {{"Opene", QKeySequence("Ctrl+O")},
                                                              {"openbmp", QKeySequence("Ctrl+B")},
                                                              {"exportPreviews", QKeySequence("Ctrl+E")},
                                                              {"exit", QKeySequence("Ctrl+Q")},
                                                              {"Draw", QKeySequence("F5")}};
    for (const auto& [name, sequence] : keys) QCOMPARE(form->action(name)->shortcut(), sequence);

    // The keys reach their commands (Ctrl+Q is left out: it would end the test).
    form->show();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QStringList filters;
    form->chooseFile = [&](const QString& filter) {
      filters << filter;
      return QString();
    };
    QTest::keyClick(form.get(), Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(form.get(), Qt::Key_B, Qt::ControlModifier);
    QCOMPARE(filters, QStringList({"MEVRIK movies (*.3mm)", "BMP files (*.bmp)"}));
    QTest::keyClick(form.get(), Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(int(boxes.size()), 1);
    QCOMPARE(boxes[0].title, QString("Nothing to export"));
    QSignalSpy shown(form->action("Draw"), &QAction::triggered);
    QTest::keyClick(form.get(), Qt::Key_F5);
    QCOMPARE(shown.count(), 1);

    // The Open dialogs start where the last file came from.
    QCOMPARE(form->openFolder(), QString());
    QTemporaryDir dir;
    const QString movie = dir.filePath("m.3mm");
    QFile::copy(QString::fromStdString(kRuntime + "demo.3mm"), movie);
    form->openMovie(movie);
    QCOMPARE(form->openFolder(), QDir(dir.path()).absolutePath());
  }

  void wheelOverTheGridTurnsPagesThroughTheScrollBar() {
    auto form = makeForm();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    form->openMovie(QString::fromStdString(kRuntime + "demo.3mm"));
    auto wheel = [&](int delta) {
      QWheelEvent event(QPointF(100, 100), form->picture1()->mapToGlobal(QPointF(100, 100)), QPoint(), QPoint(0, delta),
                        Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
      QApplication::sendEvent(form->picture1(), &event);
    };
    wheel(-120);  // one notch towards the user: the next page, drawn
    QCOMPARE(form->offex()->value(), 1);
    QCOMPARE(form->core().s.page, 1);
    wheel(-120);  // already on the last page
    QCOMPARE(form->offex()->value(), 1);
    wheel(120);
    QCOMPARE(form->core().s.page, 0);
  }

  void keyboardFramesAPreviewAndEnterChoosesIt() {
    auto form = makeForm();
    form->show();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    form->openMovie(QString::fromStdString(kRuntime + "demo.3mm"));
    PictureBox* grid = form->picture1();
    grid->setFocus();
    QVERIFY(grid->focusFrame().isEmpty());  // no frame until the keyboard is used

    QTest::keyClick(grid, Qt::Key_Right);
    QCOMPARE(grid->focusFrame(), QRect(154, 0, 144, 81));
    QTest::keyClick(grid, Qt::Key_Down);
    QCOMPARE(form->navigator()->focusCell(), 6);
    QTest::keyClick(grid, Qt::Key_End);  // preview 16: page 1, cell 4, through the scroll bar
    QCOMPARE(form->offex()->value(), 1);
    QCOMPARE(form->core().s.page, 1);
    QCOMPARE(grid->focusFrame(), QRect(462, 0, 144, 81));
    QTest::keyClick(grid, Qt::Key_Up);  // back to preview 12
    QCOMPARE(form->offex()->value(), 0);
    QCOMPARE(form->navigator()->focusCell(), 12);

    // The frame is drawn in the highlight colour just outside the picture.
    const QImage shot = grid->grab().toImage();
    QCOMPARE(shot.pixelColor(2 + 462 - 1, 2 + 180 + 40), grid->palette().color(QPalette::Highlight));

    QTest::keyClick(grid, Qt::Key_Return);
    QCOMPARE(int(form->core().s.selpic), 12);
    QVERIFY(form->insertDialog()->isVisible());
    form->insertDialog()->hide();
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Left);
    QTest::keyClick(grid, Qt::Key_Space);
    QCOMPARE(int(form->core().s.selpic), 11);

    QTest::mouseClick(grid, Qt::LeftButton, {}, QPoint(2 + 10, 2 + 10));  // a click hides the frame
    QVERIFY(grid->focusFrame().isEmpty());
    QCOMPARE(int(form->core().s.selpic), 1);
  }

  void emptyGridHintShowsOnlyWithoutAMovie() {
    auto form = makeForm();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    const QString hint =
        QString::fromUtf8("Open a movie with File \u2192 Open mevrik Movie\u2026 or drop a .3mm file here");
    QCOMPARE(form->picture1()->hint(), hint);
    form->openMovie("/nonexistent/movie.3mm");
    QCOMPARE(form->picture1()->hint(), hint);
    form->openMovie(QString::fromStdString(kRuntime + "demo.3mm"));
    QCOMPARE(form->picture1()->hint(), QString());
  }

  // The frame is white through: the full bars leave one white pixel at each
  // end and above and below them.
  void progressFrameShowsWhiteAroundTheFullBars() {
    auto form = makeForm();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    const QImage shot = form->centralWidget()->grab().toImage();
    const QColor white(255, 255, 255), blue(0, 0, 255), grey(192, 192, 192);
    QCOMPARE(shot.pixelColor(408, 284), white);
    QCOMPARE(shot.pixelColor(409, 284), blue);
    QCOMPARE(shot.pixelColor(631, 284), blue);
    QCOMPARE(shot.pixelColor(632, 284), white);
    QCOMPARE(shot.pixelColor(500, 280), white);
    QCOMPARE(shot.pixelColor(500, 281), blue);
    QCOMPARE(shot.pixelColor(500, 287), blue);
    QCOMPARE(shot.pixelColor(500, 288), grey);
    QCOMPARE(shot.pixelColor(500, 294), grey);
    QCOMPARE(shot.pixelColor(500, 295), white);
    QCOMPARE(shot.pixelColor(408, 291), white);
    QCOMPARE(shot.pixelColor(632, 291), white);
  }

  void closingTheWindowLeavesNoDialogBehind() {
    auto form = makeForm();
    form->show();
    form->insertDialog()->show();
    form->close();
    QVERIFY(!form->insertDialog()->isVisible());
  }

  // After Yes the grid shows what the movie holds; Edit takes it back and
  // makes it again; the dialog opens clear of the grid, follows a newly loaded
  // picture, and never writes into a movie opened after it.
  void replaceUndoRedoAndTheDialogsPlace() {
    QTemporaryDir dir;
    const QString movie = demoCopy(dir, "edit.3mm"), second = demoCopy(dir, "second.3mm");
    const QString bmp = bmpFile(dir, "p.bmp");
    const QByteArray original = readAll(movie);
    auto form = makeForm();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QAction* undo = form->findChild<QAction*>("undo");
    QAction* redo = form->findChild<QAction*>("redo");
    QCOMPARE(undo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(redo->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    form->openMovie(movie);
    QVERIFY(!undo->isEnabled());

    // The dialog, shown before any picture: loading one redraws its left box.
    QTest::mouseClick(form->picture1(), Qt::LeftButton, {}, QPoint(2 + 308 + 10, 2 + 90 + 10));  // preview 7
    InsertDialog* dialog = form->insertDialog();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->timer1()->isActive(), 1000);
    form->openBmp(bmp);
    QCOMPARE(dialog->picture1()->image().pixel(3, 0), orvane::composeBuffer(form->core().s).at(3, 0));
    const QRect grid(form->picture1()->mapToGlobal(QPoint(0, 0)), form->picture1()->size());
    QVERIFY(!dialog->frameGeometry().intersects(grid));
    QVERIFY(dialog->screen()->availableGeometry().contains(dialog->frameGeometry()));

    QTest::mouseClick(dialog->command1(), Qt::LeftButton);  // "Yes"
    const QByteArray replaced = readAll(movie);
    QVERIFY(replaced != original);
    QCOMPARE(int(form->core().s.previewPixel(7, 0, 0)), 1);  // the store, without reopening
    const QImage page = form->picture1()->image();
    QCOMPARE(page.pixel(308 + 5, 90 + 0), orvane::composePreview(form->core().s, 7).at(5, 0));
    QVERIFY(undo->isEnabled());

    undo->trigger();
    QCOMPARE(readAll(movie), original);
    QVERIFY(form->core().log.text().find("Replace:Replacement of scene preview 7 undone.") != std::string::npos);
    QVERIFY(int(form->core().s.previewPixel(7, 0, 0)) != 1);
    QVERIFY(!undo->isEnabled() && redo->isEnabled());
    redo->trigger();
    QCOMPARE(readAll(movie), replaced);

    // A second movie opened with the dialog on screen: the dialog goes, and its Yes writes nothing.
    QTest::mouseClick(form->picture1(), Qt::LeftButton, {}, QPoint(2 + 10, 2 + 10));  // preview 1
    QVERIFY(dialog->isVisible());
    const QByteArray secondBefore = readAll(second);
    form->openMovie(second);
    QVERIFY(!dialog->isVisible());
    dialog->Command1_Click();
    QCOMPARE(readAll(second), secondBefore);
  }

  // A folder of exported previews, two of them retouched: one dialog lists
  // exactly those two, new beside old; Yes writes both, the grid shows them,
  // and one Undo takes both back. No writes nothing.
  void sceneNumbersInTheTitleTooltipsAndStatusBar();
  void theInsertDialogAsksAndEscAnswersNo();
  void openRecentAndTheWindowsPlace();
  void loadPaletteRedrawsAndIsRemembered();

  void putPreviewsBackAsksOnceAndOneUndoTakesItBack() {
    QTemporaryDir dir;
    const QString movie = demoCopy(dir, "trip.3mm");
    const QByteArray original = readAll(movie);
    auto form = makeForm();
    form->putBack_Click();  // no movie yet
    QCOMPARE(boxes.back().title, QString("Nothing to put back"));
    form->openMovie(movie);
    QDir(dir.path()).mkdir("out");
    const QString out = dir.filePath("out");
    form->chooseFolder = [&] { return out; };
    form->exportPreviews_Click();
    for (const char* name : {"trip-003.bmp", "trip-012.bmp"}) {
      QFile::remove(out + "/" + name);
      QFile::copy(bmpFile(dir, "p.bmp"), out + "/" + name);
    }

    int asked = 0;
    bool answer = false;
    form->confirmPutBack = [&](PutBackDialog& d) {
      ++asked;
      if (d.sceneCount() != 2 || !d.newPicture(1) || d.notes()) return false;
      const orvane::Stores& s = form->core().s;
      // Scene 12: the new picture on the left, the preview as it is on the right.
      if (d.newPicture(1)->image().pixel(4, 0) != orvane::paletteArgb(s, 1)) return false;
      if (d.oldPicture(1)->image().pixel(4, 0) != orvane::composePreview(s, 12).at(4, 0)) return false;
      return answer;
    };
    form->putBack_Click();  // No
    QCOMPARE(asked, 1);
    QCOMPARE(readAll(movie), original);

    answer = true;
    form->putBack_Click();  // Yes
    QCOMPARE(asked, 2);
    const QByteArray replaced = readAll(movie);
    QVERIFY(replaced != original);
    QCOMPARE(int(form->core().s.previewPixel(12, 0, 4)), 1);
    const std::string log = form->core().log.text();
    QVERIFY(log.find("Replace:Replaced scene previews 3 and 12.") != std::string::npos);
    QVERIFY(log.find("Replace:2 replaced, 14 unchanged, 0 refused, 0 ignored.") != std::string::npos);
    QCOMPARE(form->picture1()->image().pixel(2 * 154 + 4, 0), orvane::composePreview(form->core().s, 3).at(4, 0));

    QAction* undo = form->findChild<QAction*>("undo");
    QVERIFY(undo->isEnabled());
    undo->trigger();
    QCOMPARE(readAll(movie), original);
    QVERIFY(form->core().log.text().find("Replace:Replacement of scene previews 3 and 12 undone.") !=
            std::string::npos);
  }
};

// Scene numbers: the title names the movie, every tile has a tooltip, and the
// status bar tells the hovered or framed tile, the page and the picture's source.
void TestForm1::sceneNumbersInTheTitleTooltipsAndStatusBar() {
  QTemporaryDir dir;
  const QString movie = demoCopy(dir, "demo.3mm");
  auto form = makeForm();
  form->show();
  QVERIFY(QTest::qWaitForWindowExposed(form.get()));
  const QRect gridBefore = form->picture1()->geometry();
  QVERIFY(form->statusBar()->geometry().top() >= form->centralWidget()->geometry().bottom());
  QCOMPARE(form->gridStatus()->pageField()->text(), QString("No movie open"));

  form->openMovie(movie);
  QCOMPARE(form->windowTitle(), QString::fromUtf8("demo.3mm \u2014 Orvane"));
  const orvane::Stores& s = form->core().s;
  const QString seven =
      QString::fromUtf8("Scene preview 7 \u2014 at byte %1").arg(QLocale().toString(qlonglong(s.recordPosition(7))));
  QCOMPARE(GridStatus::tileText(s, 7), seven);
  QCOMPARE(GridStatus::tileText(s, s.piccount + 1), QString());
  QCOMPARE(form->gridStatus()->previewAt(308 + 10, 90 + 10), 7);
  QCOMPARE(form->gridStatus()->pageField()->text(),
           QString::fromUtf8("Page 1 of 2 \u2014 previews 1\u201312 of %1").arg(s.piccount));

  // Hovered, then framed by the keyboard once the mouse has left.
  QTest::mouseMove(form->picture1(), QPoint(2 + 308 + 10, 2 + 90 + 10));
  QTRY_COMPARE(form->gridStatus()->tileField()->text(), seven);
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(form->picture1(), &leave);
  QCOMPARE(form->gridStatus()->tileField()->text(), QString());
  form->picture1()->setFocus();
  QTest::keyClick(form->picture1(), Qt::Key_Right);
  QCOMPARE(form->gridStatus()->tileField()->text(), GridStatus::tileText(s, 2));
  QTest::keyClick(form->picture1(), Qt::Key_PageDown);
  QVERIFY(form->gridStatus()->pageField()->text().startsWith("Page 2 of 2"));

  form->openBmp(bmpFile(dir, "mine.bmp"));
  QCOMPARE(form->gridStatus()->pictureField()->text(), QString("Picture: mine.bmp"));
  // The grid has not moved.
  QCOMPARE(form->picture1()->geometry(), gridBefore);
}

// The Insert? dialog asks its question for the chosen scene, Yes is the
// default with the keyboard focus, and Esc answers No.
void TestForm1::theInsertDialogAsksAndEscAnswersNo() {
  QTemporaryDir dir;
  const QString movie = demoCopy(dir, "ask.3mm");
  const QByteArray original = readAll(movie);
  auto form = makeForm();
  form->show();
  QVERIFY(QTest::qWaitForWindowExposed(form.get()));
  form->openMovie(movie);
  form->openBmp(bmpFile(dir, "p.bmp"));
  QTest::mouseClick(form->picture1(), Qt::LeftButton, {}, QPoint(2 + 308 + 10, 2 + 90 + 10));  // scene 7
  InsertDialog* dialog = form->insertDialog();
  QVERIFY(dialog->isVisible());
  QCOMPARE(dialog->windowTitle(), QString("Insert?"));
  QCOMPARE(dialog->question()->text(), QString("Replace the preview of scene 7 with this picture?"));
  QCOMPARE(dialog->oldCaption()->text(), QString("Scene 7 now"));
  QVERIFY(dialog->command1()->isDefault());
  QCOMPARE(dialog->command1()->text(), QString("&Yes"));
  QCOMPARE(dialog->command2()->text(), QString("&No"));
  QCOMPARE(dialog->focusWidget(), dialog->command1());
  QCOMPARE(dialog->command1()->geometry().top(), dialog->command2()->geometry().top());  // one row
  QTest::keyClick(dialog, Qt::Key_Escape);
  QVERIFY(!dialog->isVisible());
  QCOMPARE(readAll(movie), original);
}

// Open Recent lists the movies newest first and drops (and logs) the ones that
// are gone; the window comes back where it was closed.
void TestForm1::openRecentAndTheWindowsPlace() {
  QTemporaryDir dir;
  const QString first = demoCopy(dir, "first.3mm"), second = demoCopy(dir, "second.3mm");
  {
    auto form = makeForm();
    form->openMovie(first);
    form->openMovie(second);
    form->openMovie(first);
    form->move(40, 30);
    form->close();
  }
  QVERIFY(QFile::remove(second));
  auto form = makeForm();
  QCOMPARE(form->pos(), QPoint(40, 30));
  emit form->recentMenu()->aboutToShow();
  const QList<QAction*> items = form->recentMenu()->actions();
  QCOMPARE(items.size(), 1);
  QCOMPARE(items[0]->text(), "&1 " + QDir::toNativeSeparators(QFileInfo(first).absoluteFilePath()));
  QVERIFY(form->core().log.text().find("Removed from Open Recent, no longer there: ") != std::string::npos);
  items[0]->trigger();
  QCOMPARE(form->core().s.moviefile, QDir::toNativeSeparators(first).toStdString());
}

// File > Load Palette... takes a GIMP palette, redraws with it and remembers it
// for the next start; a damaged palette changes nothing but says why.
void TestForm1::loadPaletteRedrawsAndIsRemembered() {
  QTemporaryDir dir;
  const QString movie = demoCopy(dir, "pal.3mm");
  const QString gpl = dir.filePath("mine.gpl"), broken = dir.filePath("broken.gpl");
  {
    QFile f(gpl);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("GIMP Palette\nName: mine\n");
    for (int e = 0; e < 151; ++e) f.write(QByteArray::number(e) + " 10 200 entry\n");
    QFile b(broken);
    QVERIFY(b.open(QIODevice::WriteOnly));
    b.write("GIMP Palette\n1 2 three\n");
  }
  auto form = makeForm();
  form->openMovie(movie);
  form->chooseFile = [&](const QString&) { return gpl; };
  form->loadPalette_Click();
  QCOMPARE(orvane::paletteArgb(form->core().s, 37), 0xFF000000u | 37u << 16 | 10u << 8 | 200u);
  QCOMPARE(form->picture1()->image().pixel(0, 0), orvane::composePreview(form->core().s, 1).at(0, 0));
  QVERIFY(form->core().log.text().find("Palette:Colours from " + QDir::toNativeSeparators(gpl).toStdString() +
                                       " (GIMP palette, 151 entries).") != std::string::npos);

  form->chooseFile = [&](const QString&) { return broken; };
  form->loadPalette_Click();
  QCOMPARE(boxes.back().title, QString("Palette not loaded"));
  QCOMPARE(orvane::paletteArgb(form->core().s, 37), 0xFF000000u | 37u << 16 | 10u << 8 | 200u);

  auto next = makeForm();  // the next start uses the remembered palette
  QCOMPARE(orvane::paletteArgb(next->core().s, 100), 0xFF000000u | 100u << 16 | 10u << 8 | 200u);
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
