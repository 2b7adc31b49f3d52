// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Imports a picture without freezing the window: the decoding and conversion
// run on a worker thread, the log lines and the picture buffer are handled on
// the window's thread before and after. Past 100 ms the busy cursor shows.
// One import at a time: asking for another while one runs is refused in the log.
#include <QObject>
#include <QTimer>
#include <optional>
#include <string>

#include "shell/core.h"
#include "workflow/import_picture.h"

class QThread;

class PictureImport : public QObject {
  Q_OBJECT
 public:
  explicit PictureImport(orvane::Core& core, QObject* parent = nullptr);
  ~PictureImport() override;  // waits for a running import to end

  // Logs "Importing <path>..." and starts; false when another import is still running.
  bool start(const std::string& path, const orvane::convert::ConvertOptions& options);
  bool running() const { return worker_ != nullptr; }

 signals:
  // The import is over: the picture went in, or the refusal was logged.
  void finished();
  // The picture from `path` is in the picture buffer (emitted before finished()).
  void imported(const QString& path);

 private:
  void done();

  static constexpr int kBusyCursorMilliseconds = 100;
  orvane::Core& core_;
  QThread* worker_ = nullptr;
  std::string path_;
  std::optional<orvane::Result<orvane::PreparedPicture>> prepared_;
  QTimer busyTimer_;
  bool busyCursor_ = false;
};
