// The main window on the offscreen platform: layout, menu, start-up, the log
// view, the bars, and the whole road from opening a movie to replacing a preview.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "app/form1.h"
#include "app/picture_box.h"
#include "app/shape_widget.h"
#include "app/switch_dialog.h"
#include "display/drawing.h"
#include "previews/record_format.h"

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
  const int offBits = 14 + 40 + 4 * 256;
  const int size = offBits + 81 * 144;
  QByteArray b(size, '\0');
  auto put32 = [&](int at, quint32 v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, size);
  put32(10, offBits);
  put32(14, 40);
  put32(18, 144);
  put32(22, 81);
  b[26] = 1;
  b[28] = 8;
  for (int r = 0; r < 81; ++r)  // stored bottom row first
    for (int c = 0; c < 144; ++c) b[offBits + r * 144 + c] = static_cast<char>(((80 - r) % 100) + 1);
  return b;
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
    return form;
  }
  std::vector<Box> boxes;

 private slots:
  void init() { boxes.clear(); }

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
    QCOMPARE(top.size(), 2);
    QCOMPARE(top[0]->text(), QString("&File"));
    QCOMPARE(top[1]->text(), QString("&Show"));
    QStringList items;
    for (QAction* a : top[0]->menu()->actions()) items << (a->isSeparator() ? QString("-") : a->text());
    QCOMPARE(items, QStringList({"Open &mevrik Movie...", "Open &BMP...", "-", "E&xit"}));

    QCOMPARE(form->picture1()->nextInFocusChain(), static_cast<QWidget*>(form->text1()));
    QCOMPARE(form->text1()->nextInFocusChain(), static_cast<QWidget*>(form->offex()));
    QCOMPARE(form->offex()->nextInFocusChain(), static_cast<QWidget*>(form->picture2()));

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
    QCOMPARE(form->text1()->toPlainText().count('\n'), 4);
    QCOMPARE(form->text1()->textCursor().position(), form->text1()->document()->characterCount() - 1);
    QCOMPARE(form->shape1()->width(), 223);
    QCOMPARE(form->shape3()->width(), 223);
    QCOMPARE(form->shape1()->fill(), QColor(0, 0, 255));
    QCOMPARE(form->shape3()->fill(), QColor(192, 192, 192));
  }

  void logViewAppendsAndKeepsTheCaretAtTheEnd() {
    auto form = makeForm();
    for (int i = 0; i < 300; ++i) form->core().logline("line " + std::to_string(i), 2);
    const QString shown = form->text1()->toPlainText();
    QVERIFY(shown.endsWith("Scanner:line 299\n"));
    QCOMPARE(form->text1()->textCursor().position(), form->text1()->document()->characterCount() - 1);
    QVERIFY(!form->text1()->textCursor().hasSelection());
  }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
