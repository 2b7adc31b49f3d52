// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The history of a movie's replacements, as its journal tells it: what became
// of each replacement, which one an undo takes back (the newest still in the
// movie) and which one a redo makes again (the newest taken back by an undo,
// as long as no new replacement came after it).
#include <cstdint>
#include <string>
#include <vector>

#include "replace/journal_format.h"

namespace orvane {

enum class ReplacementState {
  Done,        // in the movie
  Undone,      // taken back by an undo
  TakenBack,   // interrupted, and taken back when the movie was next opened
  LeftAlone,   // interrupted, and the scene changed by someone else since
  Unfinished,  // interrupted, and not settled yet
};

struct Replacement {
  const journal::WriteEntry* entry = nullptr;
  ReplacementState state = ReplacementState::Unfinished;
};

struct History {
  std::vector<Replacement> replacements;  // oldest first
  const journal::WriteEntry* undoable = nullptr;
  const journal::WriteEntry* redoable = nullptr;
};

// Reads the history from a journal's records; the pointers point into them.
History readHistory(const std::vector<journal::Record>& records);

// Writes without any mark: interrupted before they were settled.
std::vector<const journal::WriteEntry*> unmarkedWrites(const std::vector<journal::Record>& records);

// "scene preview 3", "scene previews 3, 5 and 7", "scene previews 1-4 and 9".
std::string scenesText(const journal::WriteEntry& entry);
// The same for preview numbers in that order (at least one).
std::string previewsText(const std::vector<int>& previews);
// "replacement of scene preview 3", "undo of the replacement of scene preview 3", ...
std::string describeWrite(const journal::WriteEntry& entry);
// A file or folder name as a log line or listing shows it: control
// characters escaped (a line break as \n), so that a name never starts a line.
std::string escapedName(const std::string& name);
// "done", "undone", ...: the state as the history listing shows it.
const char* stateText(ReplacementState state);
// "2024-05-01 12:03:44" in the local time zone.
std::string localTimeText(std::int64_t secondsSince1970);

}  // namespace orvane
