// SPDX-License-Identifier: GPL-3.0-or-later
#include "replace/movie_lock.h"

#include <thread>

#include "replace/recovery.h"
#include "shell/tags.h"

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

Error writeFailure(ErrorCode code, const std::string& problem, const std::string& path, const std::string& outcome) {
  return {code, problem + "\r\n" + path + "\r\n" + outcome};
}

Error notHeld(const Error& why, const std::string& path) {
  switch (why.code) {
    case ErrorCode::NotFound: return {ErrorCode::MovieMoved, "File has been moved!\r\nPlease put it back."};
    case ErrorCode::Busy:
      if (why.message == kOpenForWritingElsewhere)
        return writeFailure(ErrorCode::Busy,
                            "Another program has this movie open for writing (Mevrik itself, perhaps). Close the "
                            "movie there first.",
                            path, "Nothing was written.");
      return writeFailure(ErrorCode::Busy,
                          "Another program is writing to this movie right now (Orvane in another window, or "
                          "orvane-cli).",
                          path, "Nothing was written. Please try again in a moment.");
    case ErrorCode::JournalFailed:
    case ErrorCode::NotOwnFile:
    case ErrorCode::WriteFailed: return writeFailure(why.code, why.message, path, "Nothing was written.");
    default:
      return writeFailure(ErrorCode::WriteFailed, "The movie could not be opened for writing (" + why.message + ").",
                          path, "Nothing was written.");
  }
}

Result<HeldMovie> holdMovie(Core& core, const std::string& path, FileLayer& files) {
  auto lock = lockMovie(files, path, core.lockPatience);
  if (!lock) return lock.error();
  auto journal = Journal::load(files, path);
  if (!journal) return journal.error();
  auto file = files.open(path, OpenMode::ReadWrite);
  if (!file) return file.error();
  HeldMovie held{path, std::move(*lock), std::move(*file), std::move(*journal)};
  if (const Status settled = finishInterrupted(core, *held.file, held.journal); !settled) return settled.error();
  return held;
}

Status recoverMovie(Core& core, const std::string& movie, FileLayer& files) {
  const auto tell = [&core](const Error& error) {
    core.logline("An interrupted write in this movie could not be settled now (" + error.message +
                     "); Orvane tries again the next time the movie is opened.",
                 tag::Replace);
    return error;
  };
  const auto waiting = Journal::endsInterrupted(files, movie);
  if (!waiting) {
    core.logline(waiting.error().message, tag::Replace);
    return waiting.error();
  }
  if (!*waiting) return {};
  if (auto held = holdMovie(core, movie, files); !held) return tell(held.error());
  return {};
}

}  // namespace orvane
