// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtimage/decoder_warnings.h"

#include <QtGlobal>
#include <atomic>
#include <mutex>

#include "qtimage/picture_file.h"

namespace orvane::qtimage {
namespace {

thread_local bool tReading = false;
std::atomic<bool> gShown{false};
std::atomic<QtMessageHandler> gPrevious{nullptr};

void dropWhileReading(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (tReading && !gShown.load() && (type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg)) return;
  if (const QtMessageHandler previous = gPrevious.load()) previous(type, context, message);
}

}  // namespace

void showDecoderWarnings(bool shown) { gShown.store(shown); }

DecoderWarningsHeld::DecoderWarningsHeld() : outer_(!tReading) {
  static std::once_flag installed;
  std::call_once(installed, [] { gPrevious.store(qInstallMessageHandler(dropWhileReading)); });
  tReading = true;
}

DecoderWarningsHeld::~DecoderWarningsHeld() {
  if (outer_) tReading = false;
}

}  // namespace orvane::qtimage
