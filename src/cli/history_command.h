#pragma once
// orvane-cli history MOVIE: the movie's replacements, newest first, one line
// each: when, which preview, and what became of it.
#include <iosfwd>
#include <string>

namespace orvane::cli {

struct HistoryOptions {
  std::string movie;
};

// Settles an interrupted write first (its log line on standard output), then
// prints the lines. Returns the exit code: 0, or 1 when the movie or its
// journal cannot be read.
int runHistory(const HistoryOptions& options, std::ostream& out, std::ostream& err);

}  // namespace orvane::cli
