#pragma once
// Steps several commands share. Each one that refuses prints its reason on
// standard error (one line, starting "orvane-cli: ") and returns false.
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

#include "shell/core.h"

namespace orvane::cli {

// Scans the movie into the stores.
bool openMovie(Core& core, const std::string& movie, std::ostream& err);

// Preview n exists in the scanned movie.
bool previewExists(const Core& core, int n, std::ostream& err);

// The colours for exported and converted pictures: `chosen` (empty: the one
// beside the program, else the installed one). A broken chosen palette
// refuses; a broken default one is reported and the built-in colours fill in.
bool loadPalette(Core& core, const std::string& chosen, std::ostream& err);

// The replace road: scan the movie, check that preview n exists, put the
// picture into the picture buffer (`load`, false when it was refused), and
// write it over preview n. Returns the exit code: 0 replaced, 1 refused or failed.
int replaceRoad(Core& core, const std::string& movie, int n, const std::function<bool(Core&)>& load,
                std::ostream& err);

// Refuses to replace an existing file unless `force`.
bool mayWrite(const std::string& path, bool force, std::ostream& err);
// Writes the bytes to the file at `path`, replacing what is there.
bool writeOutput(const std::string& path, std::string_view bytes, std::ostream& err);

}  // namespace orvane::cli
