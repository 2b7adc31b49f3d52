// SPDX-License-Identifier: GPL-3.0-or-later
// The Import Picture dialog on the real window: the frame moved with the keys
// and OK give the bytes the conversion gives for that crop on the command
// line; Cancel changes nothing; the preview follows the newest frame.
#include <QComboBox>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "app/form1.h"
#include "app/import_dialog.h"
#include "app/picture_import.h"
#include "qtimage/picture_file.h"
#include "workflow/import_picture.h"

using orvane::convert::FitMode;
using orvane::convert::PictureRect;

namespace {

const std::string kRuntime = std::string(ORVANE_RUNTIME_DIR) + "/";

// A 640 x 480 photo-like picture whose every part differs.
QString photoFile(const QTemporaryDir& dir) {
  QImage photo(640, 480, QImage::Format_RGB32);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) photo.setPixel(x, y, qRgb(x * 255 / 639, (x ^ y) & 255, y * 255 / 479));
  const QString path = dir.filePath("Photo.png");
  photo.save(path);
  return path;
}

}  // namespace

class TestImportDialog : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { qputenv("XDG_CONFIG_HOME", configHome.path().toUtf8()); }

  void theFrameMovedByKeysGivesTheBytesOfThatCrop() {
    QTemporaryDir dir;
    const QString photo = photoFile(dir);
    Form1 form(kRuntime);
    PictureRect chosen;
    int previews = 0;
    form.frameImport = [&](ImportDialog& dialog) {
      FrameView* view = dialog.frameView();
      if (view->frame() != (PictureRect{0, 60, 640, 360})) return false;  // opens centred and filling
      QSignalSpy shown(&dialog, &ImportDialog::previewShown);
      for (int i = 0; i < 8; ++i) QTest::keyClick(view, Qt::Key_Minus);
      QTest::keyClick(view, Qt::Key_Left, Qt::ShiftModifier);
      for (int i = 0; i < 3; ++i) QTest::keyClick(view, Qt::Key_Up);
      chosen = view->frame();
      // The preview ends on the newest frame, the ones in between dropped.
      while (dialog.previewed().framing.crop != chosen && shown.wait(5000)) {}
      previews = static_cast<int>(shown.size());
      return dialog.previewed().framing.crop == chosen;
    };
    QSignalSpy finished(form.importer(), &PictureImport::finished);
    form.importPicture(photo);
    QVERIFY(finished.wait(5000));
    QVERIFY(previews >= 1);
    // 640 x 360 shrunk in eight steps round its centre to 384 x 216; then a
    // Shift step left (an eighth of its width) and three steps up (a 64th each).
    QCOMPARE(chosen, (PictureRect{80, 114, 384, 216}));
    QVERIFY(form.core().log.text().find("Import:640 x 480 picture, crop 384 x 216 at 80,114, cropped to fill 144 x 81, "
                                        "Floyd-Steinberg dithering\r\n") != std::string::npos);

    // What the command line's convert --crop 110,130,336,189 converts.
    const auto wanted = orvane::preparePicture(
        photo.toStdString(), orvane::pictureColours(form.core().s),
        {orvane::convert::Framing(FitMode::Crop, chosen), orvane::convert::Dither::FloydSteinberg},
        orvane::qtimage::readPictureFile);
    QVERIFY(wanted.ok());
    for (int y = 0; y < 81; ++y)
      for (int x = 0; x < 144; ++x) QCOMPARE(int(form.core().s.bufferPixel(y, x)), int(wanted->picture.at(x, y)));
  }

  void cancelLeavesThePictureViewAsItWas() {
    QTemporaryDir dir;
    const QString photo = photoFile(dir);
    Form1 form(kRuntime);
    bool shown = false;
    form.frameImport = [&](ImportDialog& dialog) {
      shown = dialog.isVisible() || dialog.hasPicture();
      dialog.fitBox()->setCurrentIndex(1);  // pad: the frame goes
      QTest::keyClick(dialog.frameView(), Qt::Key_Right);
      return false;
    };
    const auto before = form.core().s.pictureBuffer();
    const std::string log = form.core().log.text();
    form.importPicture(photo);
    QVERIFY(shown);
    QVERIFY(!form.importer()->running());
    QVERIFY(form.core().s.pictureBuffer() == before);
    QCOMPARE(form.core().log.text(), log);
    QVERIFY(!form.core().s.pictureLoaded);
  }

 private:
  QTemporaryDir configHome;
};

QTEST_MAIN(TestImportDialog)
#include "tst_import_dialog.moc"
