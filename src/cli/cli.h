// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command-line companion: the same logic as the window, without one.
// Parses the arguments (subcommands scan, replace, export; see command.h)
// and runs the chosen command.
#include <iosfwd>

namespace orvane::cli {

// Runs one command; returns the process exit code (0 done, 1 refused or
// failed, 2 wrong usage). Results and log lines go to `out`; refusals, message
// boxes and usage errors go to `err`, and a command that does not succeed
// always leaves at least one line there.
int run(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace orvane::cli
