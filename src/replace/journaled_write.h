// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing into a movie with the journal: the movie held (its writer's lock,
// its journal read under the lock, interrupted writes settled), then each
// write recorded and flushed in the journal before the movie is touched,
// written and verified, and marked done.
#include <memory>
#include <string>

#include "replace/journal.h"
#include "replace/journal_format.h"
#include "shell/core.h"
#include "shell/error.h"
#include "shell/file_layer.h"

namespace orvane {

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

// Carries out `entry` (its time is set here): appends it to the journal and
// flushes it, then writes each scene's new bytes as one block, flushes the
// movie once and reads every block back, closes the movie and marks the entry
// done. When the journal cannot be written,
// nothing is written to the movie. When a scene's write fails, every byte
// written so far gets its old value back and the entry is marked taken back;
// when even that fails, the entry stays unmarked and the next opening of the
// movie settles it. After a write marked done, the journal is pruned to the
// default limits (Journal::prune). The error's message is the whole text for the user: what
// failed, the movie's path and how the movie was left, on three lines.
Status journaledWrite(FileLayer& files, HeldMovie& held, journal::WriteEntry entry);

// A failure as the user reads it, on three lines: what went wrong, the movie,
// and what became of it.
Error writeFailure(ErrorCode code, const std::string& problem, const std::string& path, const std::string& outcome);
// Why holdMovie failed, as the user reads it: a movie that is gone as
// MovieMoved ("File has been moved!"), another writer's lock as Busy, anything
// else with "Nothing was written.".
Error notHeld(const Error& why, const std::string& path);

}  // namespace orvane
