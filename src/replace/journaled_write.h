// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing into a movie with the journal, once the movie is held (holdMovie in
// movie_lock.h): each write recorded and flushed in the journal before the
// movie is touched, written and verified, and marked done.
#include <memory>
#include <string>

#include "replace/journal.h"
#include "replace/journal_format.h"
#include "replace/movie_lock.h"
#include "shell/error.h"
#include "shell/file_layer.h"

namespace orvane {

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

}  // namespace orvane
