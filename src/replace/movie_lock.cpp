// SPDX-License-Identifier: GPL-3.0-or-later
#include "replace/movie_lock.h"

#include <thread>

namespace orvane {

Result<std::unique_ptr<OpenFile>> lockMovie(FileLayer& files, const std::string& movie,
                                            std::chrono::milliseconds patience) {
  static constexpr std::chrono::milliseconds kPause{10};
  const auto giveUp = std::chrono::steady_clock::now() + patience;
  const auto waitOn = [giveUp](const Error& why) {
    if (why.code != ErrorCode::Busy || std::chrono::steady_clock::now() >= giveUp) return false;
    std::this_thread::sleep_for(kPause);
    return true;
  };
  // Where the system refuses a second writer's open outright (Windows, while
  // another writer has the movie open), the open is what waits.
  std::unique_ptr<OpenFile> file;
  for (;;) {
    auto opened = files.open(movie, OpenMode::ReadWrite);
    if (opened) {
      file = std::move(*opened);
      break;
    }
    if (!waitOn(opened.error())) return opened.error();
  }
  for (;;) {
    Status locked = file->tryLock();
    if (locked) return file;
    if (!waitOn(locked.error())) return locked.error();
  }
}

}  // namespace orvane
