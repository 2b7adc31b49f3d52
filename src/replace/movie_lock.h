// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One writer at a time: the movie's exclusive writer's lock, taken on a handle
// of its own so that it is held from before the first check of the movie
// until after the journal's last mark, however often the movie itself is
// opened and closed meanwhile; and the movie held under it, its interrupted
// writes settled (recovery.h), ready for a journaled write.
#include <chrono>
#include <memory>
#include <string>

#include "replace/journal.h"
#include "shell/core.h"
#include "shell/error.h"
#include "shell/file_layer.h"

namespace orvane {

// Opens the movie for writing and takes its writer's lock, asking again every
// few milliseconds while another writer (another window, the command line)
// holds it. After `patience` without the lock: Busy. The lock ends when the
// returned file is closed or destroyed. Errors of opening (NotFound when the
// movie is gone) come back as they are.
Result<std::unique_ptr<OpenFile>> lockMovie(FileLayer& files, const std::string& movie,
                                            std::chrono::milliseconds patience);

struct HeldMovie {
  std::string path;
  std::unique_ptr<OpenFile> lock;  // the writer's lock, held until this goes away
  std::unique_ptr<OpenFile> file;  // the movie, for reading and writing
  Journal journal;
};

// Locks the movie (waiting up to core.lockPatience for another writer), reads
// its journal, opens the movie for reading and writing and settles any
// interrupted write (with its log line). Errors: those of opening the movie
// (NotFound when it is gone), Busy, JournalFailed, or WriteFailed when an
// interrupted write could not be settled.
Result<HeldMovie> holdMovie(Core& core, const std::string& path, FileLayer& files);

// A failure as the user reads it, on three lines: what went wrong, the movie,
// and what became of it.
Error writeFailure(ErrorCode code, const std::string& problem, const std::string& path, const std::string& outcome);
// Why holdMovie failed, as the user reads it: a movie that is gone as
// MovieMoved ("File has been moved!"), another writer's lock as Busy, anything
// else with "Nothing was written.".
Error notHeld(const Error& why, const std::string& path);

// When a movie is opened: only when its journal ends with an unmarked write
// (read from the journal's end alone), the movie is held (holdMovie, waiting
// briefly for another writer) and the write settled. Nothing happens, and
// nothing is logged, for a movie without a journal or without interrupted
// writes. Problems, a refused journal among them, are logged under "Replace"
// (one line naming the journal) and returned; the movie can still be read.
Status recoverMovie(Core& core, const std::string& movie, FileLayer& files = systemFileLayer());

}  // namespace orvane
