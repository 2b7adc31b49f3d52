// Start-up: fixes the application directory, shows the main window and, when a
// movie path is given, opens it as if it had been picked in the Open dialog.
#include <QApplication>
#include <QDir>
#include <QTimer>

#include "app/form1.h"
#include "orvane/version.h"
#include "shell/platform.h"
#include "shell/stores.h"

int main(int argc, char** argv) {
  orvane::ignoreFileSizeLimitSignal();
  QApplication app(argc, argv);
  QApplication::setApplicationName("Orvane");
  QApplication::setApplicationVersion(orvane::kVersionText);

  const std::string appdir = orvane::withTrailingSeparator(
      QDir::toNativeSeparators(QApplication::applicationDirPath()).toStdString(),
      QDir::separator().toLatin1());

  Form1 form(appdir);
  form.show();

  const QStringList args = QApplication::arguments();
  if (args.size() > 1) {
    const QString movie = args.at(1);
    QTimer::singleShot(0, &form, [&form, movie] { form.openMovie(movie); });
  }
  return QApplication::exec();
}
