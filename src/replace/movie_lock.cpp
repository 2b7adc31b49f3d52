// SPDX-License-Identifier: GPL-3.0-or-later
#include "replace/movie_lock.h"

#include <thread>

namespace orvane {

Result<std::unique_ptr<OpenFile>> lockMovie(FileLayer& files, const std::string& movie,
                                            std::chrono::milliseconds patience) {
  auto opened = files.open(movie, OpenMode::ReadWrite);
  if (!opened) return opened.error();
  std::unique_ptr<OpenFile> file = std::move(*opened);
  constexpr std::chrono::milliseconds kPause{10};
  const auto giveUp = std::chrono::steady_clock::now() + patience;
  for (;;) {
    Status locked = file->tryLock();
    if (locked) return file;
    if (locked.error().code != ErrorCode::Busy || std::chrono::steady_clock::now() >= giveUp) return locked.error();
    std::this_thread::sleep_for(kPause);
  }
}

}  // namespace orvane
