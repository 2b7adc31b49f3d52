// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/recent_movies.h"

#include <QFileInfo>
#include <QSettings>

#include "shell/platform.h"

namespace {

constexpr const char* kMoviesKey = "recent/movies";
constexpr const char* kPositionKey = "window/position";

}  // namespace

QString RecentMovies::settingsFile() {
  const std::string folder = orvane::userConfigFolder();
  return folder.empty() ? QString() : QString::fromStdString(folder + orvane::kPathSeparator + "orvane.ini");
}

QStringList RecentMovies::movies() const {
  if (settingsFile().isEmpty()) return {};
  return QSettings(settingsFile(), QSettings::IniFormat).value(kMoviesKey).toStringList();
}

void RecentMovies::store(const QStringList& movies) {
  if (settingsFile().isEmpty()) return;
  QSettings(settingsFile(), QSettings::IniFormat).setValue(kMoviesKey, movies);
}

void RecentMovies::add(const QString& path) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  QStringList list = movies();
  list.removeAll(absolute);
  list.prepend(absolute);
  while (list.size() > kMaxMovies) list.removeLast();
  store(list);
}

QStringList RecentMovies::removeMissing() {
  QStringList kept, gone;
  for (const QString& movie : movies()) (QFileInfo(movie).isFile() ? kept : gone) << movie;
  if (!gone.isEmpty()) store(kept);
  return gone;
}

std::optional<QPoint> RecentMovies::windowPosition() const {
  if (settingsFile().isEmpty()) return std::nullopt;
  const QVariant value = QSettings(settingsFile(), QSettings::IniFormat).value(kPositionKey);
  if (!value.isValid()) return std::nullopt;
  return value.toPoint();
}

void RecentMovies::setWindowPosition(QPoint position) {
  if (settingsFile().isEmpty()) return;
  QSettings(settingsFile(), QSettings::IniFormat).setValue(kPositionKey, position);
}
