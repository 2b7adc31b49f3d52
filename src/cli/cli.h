#pragma once
// The command-line companion: the same logic as the window, without one.
#include <iosfwd>

namespace orvane::cli {

// Runs one command; returns the process exit code (0 done, 1 refused or
// failed, 2 wrong usage).
int run(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace orvane::cli
