// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/picture_import.h"

#include <QApplication>
#include <QThread>

#include "qtimage/picture_file.h"
#include "shell/tags.h"

PictureImport::PictureImport(orvane::Core& core, QObject* parent) : QObject(parent), core_(core) {
  busyTimer_.setSingleShot(true);
  busyTimer_.setInterval(kBusyCursorMilliseconds);
  connect(&busyTimer_, &QTimer::timeout, this, [this] {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    busyCursor_ = true;
  });
}

PictureImport::~PictureImport() {
  if (worker_) {
    worker_->wait();
    delete worker_;
  }
  if (busyCursor_) QApplication::restoreOverrideCursor();
}

bool PictureImport::start(const std::string& path, const orvane::convert::ConvertOptions& options) {
  if (worker_) {
    core_.logline("Still importing " + path_ + "; " + path + " was not imported.", orvane::tag::Import);
    return false;
  }
  path_ = path;
  prepared_.reset();
  orvane::logImportStart(core_, path);
  worker_ = QThread::create([this, path, options, colours = orvane::pictureColours(core_.s)] {
    prepared_ = orvane::preparePicture(path, colours, options, orvane::qtimage::readPictureFile);
  });
  connect(worker_, &QThread::finished, this, &PictureImport::done);
  busyTimer_.start();
  worker_->start();
  return true;
}

void PictureImport::done() {
  worker_->wait();
  worker_->deleteLater();
  worker_ = nullptr;
  busyTimer_.stop();
  if (busyCursor_) {
    QApplication::restoreOverrideCursor();
    busyCursor_ = false;
  }
  // A refusal is in the log.
  if (orvane::finishImport(core_, path_, *prepared_)) emit imported(QString::fromStdString(path_));
  emit finished();
}
