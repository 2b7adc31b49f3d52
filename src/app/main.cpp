// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up: reads the command line, fixes the application directory, shows the
// main window and, when a movie path is given, opens it as if it had been
// picked in the Open dialog.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QRegularExpression>
#include <QTimer>
#include <cstdio>

#include "app/app_icon.h"
#include "app/form1.h"
#include "orvane/version.h"
#include "shell/platform.h"
#include "shell/stores.h"

namespace {

constexpr const char* kProgram = "orvane";

struct Options {
  QCommandLineParser parser;
  QCommandLineOption help{{"h", "help"}, "Show this help and exit."};
  QCommandLineOption version{{"V", "version"}, "Show the version and exit."};

  Options() {
    parser.setApplicationDescription(
        "Finds the scene previews inside a movie (.3mm), shows them twelve to a page, and puts a picture\n"
        "of your own over the one you pick, in place: File > Import Picture (Ctrl+I) converts a photo or\n"
        "drawing of any size and format to the movie's colours. Previews export as BMP files and go back\n"
        "as a folder; Edit > Undo and Redo take any replacement back, from a journal beside the movie.\n"
        "orvane-cli does the same without a window.");
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument("movie", "A movie (.3mm) to open at start.", "[movie]");
  }
};

void print(FILE* stream, const QString& text) {
  std::fputs(text.toLocal8Bit().constData(), stream);
  std::fflush(stream);
}

// Exits with 0 after --help or --version, with 2 after a usage error;
// otherwise returns and start-up goes on.
int handled(Options& o, const QStringList& args, bool reportErrors) {
  if (!o.parser.parse(args)) {
    if (!reportErrors) return -1;
    print(stderr, QString("%1: %2\nRun '%1 --help' for more information.\n").arg(kProgram, o.parser.errorText()));
    return 2;
  }
  if (o.parser.isSet(o.version)) {
    print(stdout, QString("%1 %2\n").arg(kProgram, orvane::kVersionText));
    return 0;
  }
  if (o.parser.isSet(o.help)) {
    // The program's name as it is installed, not the path it was started by.
    print(stdout, o.parser.helpText().replace(QRegularExpression("^Usage: \\S+"), QString("Usage: ") + kProgram));
    return 0;
  }
  if (o.parser.positionalArguments().size() > 1) {
    if (!reportErrors) return -1;
    print(stderr, QString("%1: one movie at a time, not %2\nRun '%1 --help' for more information.\n")
                      .arg(kProgram)
                      .arg(o.parser.positionalArguments().size()));
    return 2;
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  orvane::ignoreFileSizeLimitSignal();
  // --help and --version answer without a display. Anything the parser does
  // not know may be one of the toolkit's own options (-platform, -style ...),
  // so errors are reported only once the application has taken those out.
  {
    Options early;
    QStringList raw;
    for (int i = 0; i < argc; ++i) raw << QString::fromLocal8Bit(argv[i]);
    if (const int code = handled(early, raw, false); code >= 0) return code;
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName("Orvane");
  QApplication::setApplicationVersion(orvane::kVersionText);
  QGuiApplication::setDesktopFileName("orvane");
  QApplication::setWindowIcon(orvaneIcon());

  Options options;
  if (const int code = handled(options, QApplication::arguments(), true); code >= 0) return code;

  const std::string appdir = orvane::withTrailingSeparator(
      QDir::toNativeSeparators(QApplication::applicationDirPath()).toStdString(), QDir::separator().toLatin1());

  Form1 form(appdir);
  form.show();

  if (const QStringList movies = options.parser.positionalArguments(); !movies.isEmpty()) {
    const QString movie = movies.constFirst();
    QTimer::singleShot(0, &form, [&form, movie] { form.openMovie(movie); });
  }
  return QApplication::exec();
}
