// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Crash recovery: a write the journal holds without a mark was interrupted
// (the program was killed, the power failed) somewhere between recording it
// and marking it. Each scene it was writing is brought to a whole state before
// anything else touches the movie, and one line under "Replace" says how.
#include <cstdint>
#include <span>
#include <string>

#include "replace/journal.h"
#include "shell/core.h"
#include "shell/error.h"
#include "shell/file_layer.h"

namespace orvane {

// What an interrupted write left in one scene.
enum class SceneState {
  After,    // every byte as written
  Before,   // every byte as it was
  Torn,     // each byte one or the other: the write got part of the way
  Foreign,  // some byte is neither: someone else changed the scene since
};
SceneState classify(std::span<const std::uint8_t> now, std::span<const std::uint8_t> before,
                    std::span<const std::uint8_t> after);

// Settles every unmarked write of `journal`, oldest first. A write whose
// scenes all hold their new bytes is kept; one that changed nothing, or only
// part of a scene, gets every scene's old bytes back (verified); one where a
// scene was changed by someone else, or the movie's length differs, is left
// alone. Each is marked and logged. The movie's writer's lock must be held and
// `movie` open for writing. An error (a write or a mark that failed) leaves
// that write unmarked, to be settled the next time.
Status finishInterrupted(Core& core, OpenFile& movie, Journal& journal);

// The same when a movie is opened: only when its journal holds an unmarked
// write, the movie is locked (waiting briefly for another writer) and the
// write settled. Nothing happens, and nothing is logged, for a movie without
// a journal or without interrupted writes. Problems are logged under "Replace"
// and returned; the movie can still be read.
Status recoverMovie(Core& core, const std::string& movie, FileLayer& files = systemFileLayer());

}  // namespace orvane
