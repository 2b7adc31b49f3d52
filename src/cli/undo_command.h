#pragma once
// orvane-cli undo MOVIE [--all]: takes back the newest replacement still in the
// movie, or every one, newest first.
#include <iosfwd>
#include <string>

namespace orvane::cli {

struct UndoOptions {
  std::string movie;
  bool all = false;
};

// Prints the log lines of each undo ("Replace:Replacement of scene preview 3
// undone."), boxes on standard error. Returns the exit code: 0 when every
// undo asked for was made (with --all, also when there was nothing to undo),
// 1 when one was refused or failed, or there was nothing to undo.
int runUndo(const UndoOptions& options, std::ostream& out, std::ostream& err);

}  // namespace orvane::cli
