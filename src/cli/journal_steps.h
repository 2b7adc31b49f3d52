// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The movie's replacements as the command line speaks of them: their journal
// step numbers (1 for the first replacement ever made), the one-line outcome
// a write prints on standard output, and what went in.
#include <optional>
#include <string>

#include "workflow/movie_history.h"

namespace orvane::cli {

struct Step {
  std::size_t number = 0;  // 1, 2, ...: the replacement's place in the history, oldest first
  std::string scenes;      // "scene preview 3", "scene previews 1 and 2"
  std::string label;       // what went in; empty while the journal does not record it
};

// What the journal of `movie` says, read without the lock; empty when there is
// no such step (or no journal, or it cannot be read).
std::optional<Step> newestReplacement(const std::string& movie);
std::optional<Step> nextUndo(const std::string& movie);
std::optional<Step> nextRedo(const std::string& movie);

// The step of one replacement of `history` (which must hold it).
Step stepOf(const History& history, const journal::WriteEntry& entry);

// What went in with a replacement: the picture's file name, or "folder DIR"
// for a put-back. The journal does not keep it yet, so this is empty.
std::string entryLabel(const journal::WriteEntry& entry);

// `path` as one word a POSIX shell reads back unchanged.
std::string shellWord(const std::string& path);

// "scene preview 3 replaced (journal step 4; undo with: orvane-cli undo m.3mm)"
std::string replacedLine(const Step& step, const std::string& movie);
// "replacement of scene preview 3 undone (journal step 4; redo with: orvane-cli redo m.3mm)"
std::string undoneLine(const Step& step, const std::string& movie);
// "scene preview 3 replaced again (journal step 4; undo with: orvane-cli undo m.3mm)"
std::string redoneLine(const Step& step, const std::string& movie);

}  // namespace orvane::cli
