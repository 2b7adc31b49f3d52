// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command-line companion: the same logic as the window, without one.
// Parses the arguments (subcommands scan, replace, export; see command.h)
// and runs the chosen command.
#include <iosfwd>

namespace orvane::cli {

// Standard input, and which of the standard streams are terminals.
struct Console {
  std::istream* in = nullptr;  // none: "-" as a picture reads nothing
  bool inIsTerminal = false;
  bool outIsTerminal = false;
};

// Runs one command; returns the process exit code (0 done, 1 refused or
// failed, 2 wrong usage). Results go to `out`; the activity log (unless -q),
// diagnostics and usage errors go to `err`, and a command that does not
// succeed always leaves at least one line there. Results that cannot be
// written to `out` are a failure of their own.
int run(int argc, const char* const* argv, std::ostream& out, std::ostream& err, Console console = {});

}  // namespace orvane::cli
