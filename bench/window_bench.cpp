// SPDX-License-Identifier: GPL-3.0-or-later
// Time to open a movie with 255 previews in the main window (offscreen): from
// the menu command's log line to the first grid page drawn, over several runs.
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/form1.h"
#include "movie_files.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir dir;
  const QString movie = dir.filePath("previews255.3mm");
  if (!orvane::bench::writeMovie(movie.toStdString(), 16u << 20, orvane::bench::Filler::Random)) return 1;

  const std::string appdir = (QApplication::applicationDirPath() + "/").toStdString();
  Form1 form(appdir);
  form.show();
  QApplication::processEvents();

  std::vector<double> ms;
  for (int run = 0; run < 5; ++run) {
    QElapsedTimer timer;
    timer.start();
    form.openMovie(movie);
    QApplication::processEvents();
    ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
  }
  std::sort(ms.begin(), ms.end());
  std::printf("Opening a 16 MiB movie with %d previews in the window: min %.0f ms, median %.0f ms, max %.0f ms\n",
              form.core().s.piccount, ms.front(), ms[ms.size() / 2], ms.back());
  return 0;
}
