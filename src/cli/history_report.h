// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What `history` prints: lines for people, or a JSON document for scripts,
// both newest first.
#include <string>

#include "workflow/movie_history.h"

namespace orvane::cli {

// One line per replacement: "step 2  2024-05-01 12:03:44  scene preview 3  done",
// what went in after the previews when the journal knows it.
std::string historyLines(const History& history);

// A JSON array with one object per replacement, one object a line:
// {"step": 2, "time": 1714557824, "local_time": "2024-05-01 12:03:44",
//  "previews": [3], "state": "done", "label": null, "undo_next": true, "redo_next": false}
// ("time" in seconds since 1970, UTC; "label" what went in, null while unknown).
std::string historyJson(const History& history);

// `text` as a JSON string, quotes included.
std::string jsonString(const std::string& text);

}  // namespace orvane::cli
