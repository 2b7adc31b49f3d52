// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's settings of the user's own, in orvane.ini in the user's
// settings folder (beside the remembered palette): the last ten movies opened,
// newest first, and where the window was.
#include <QPoint>
#include <QString>
#include <QStringList>
#include <optional>

class RecentMovies {
 public:
  static constexpr int kMaxMovies = 10;

  // The movies, newest first.
  QStringList movies() const;
  // `path` opened: it moves (or goes) to the front; the eleventh drops off.
  void add(const QString& path);
  // Removes the movies that are no longer there and returns them.
  QStringList removeMissing();

  // The window's remembered top-left corner, if any.
  std::optional<QPoint> windowPosition() const;
  void setWindowPosition(QPoint position);

  // The settings file; empty when the user has no settings folder.
  static QString settingsFile();

 private:
  void store(const QStringList& movies);
};
