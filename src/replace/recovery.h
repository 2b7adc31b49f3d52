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
  After,      // every byte as written
  Before,     // every byte as it was
  Torn,       // each byte one or the other: the write got part of the way
  Foreign,    // some byte is neither: someone else changed the scene since
  Elsewhere,  // not the rows of a whole record of the movie: no scene preview lies there
};
SceneState classify(std::span<const std::uint8_t> now, std::span<const std::uint8_t> before,
                    std::span<const std::uint8_t> after);

// What a journaled scene holds in the movie now, checked so that nothing is
// ever written that the journal does not prove to be its own: its bytes are
// exactly a record's rows, their old bytes still have the checksum recorded
// when they were found, a whole record lies at its place in the movie as it
// is now (its signature at the start, its trailer 11826 bytes on), and those
// rows hold its old or new bytes or a mix of the two. `scene` must hold its
// bytes (Journal::whole).
Result<SceneState> sceneStateIn(OpenFile& movie, const journal::SceneChange& scene);

// Settles every unmarked write of `journal`, oldest first. A write whose
// scenes all hold their new bytes is kept; one that changed nothing, or only
// part of a scene, gets every scene's old bytes back (verified); one where a
// scene was changed by someone else, or does not lie on a record of the movie
// (sceneStateIn), is left alone. The movie's length decides nothing: bytes
// added to the movie since do not keep a torn scene torn. Each is marked and
// logged; a write whose entry is damaged is skipped with a line saying so. The movie's writer's lock must be held and
// `movie` open for writing. An error (a write or a mark that failed) leaves
// that write unmarked, to be settled the next time.
Status finishInterrupted(Core& core, OpenFile& movie, Journal& journal);

}  // namespace orvane
