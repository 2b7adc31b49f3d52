// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One subcommand of orvane-cli. Each lives in its own file and adds itself to
// the parser through an add function listed in kCommands below: a new
// subcommand is its file, its line here and its section in the manual page
// (packaging/man/orvane-cli.1.in, which the install.man_pages test holds to
// the help).
#include <functional>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace orvane::cli {

// The command's two streams and how the user asked them to be used. Results
// (lists, JSON, written file names, the outcome of a write) go to `out`; the
// activity log and every diagnostic go to `err`.
struct Io {
  std::ostream& out;
  std::ostream& err;
  std::string command;         // the subcommand's name, as diagnostics start with it
  bool quiet = false;          // -q: no activity log
  bool outIsTerminal = false;  // binary output there is refused
  bool inIsTerminal = false;   // a picture is not read from there
  std::istream* in = nullptr;  // standard input, for a picture given as "-"

  // Where activity-log lines go: standard error, or nowhere with -q.
  std::ostream* log() const { return quiet ? nullptr : &err; }
  // Starts a diagnostic, "orvane-cli: COMMAND: FILE: " (without "FILE: " when
  // `file` is empty); the caller writes the reason and the line's end.
  std::ostream& diagnostic(const std::string& file) const;
};

// "-" as a file argument: standard output (or input).
inline bool isStandardStream(const std::string& path) { return path == "-"; }

// A mistake in how the command was called that the parser cannot see (two
// arguments that only make sense together, say). Exits 2 like a parse error.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct Command {
  CLI::App* app = nullptr;            // the subcommand, owned by the parent parser
  std::vector<std::string> synopsis;  // its usage forms for the overview, e.g. "scan MOVIE [--json] [-q]"
  // Runs the command once the arguments are parsed; returns the exit code
  // (0 done, 1 refused or failed) or throws UsageError.
  std::function<int(Io&)> run;
};

using AddCommand = Command (*)(CLI::App& parent);

Command addScan(CLI::App& parent);
Command addReplace(CLI::App& parent);
Command addExport(CLI::App& parent);
Command addConvert(CLI::App& parent);
Command addImport(CLI::App& parent);
Command addPalette(CLI::App& parent);
Command addHistory(CLI::App& parent);
Command addUndo(CLI::App& parent);
Command addRedo(CLI::App& parent);

// Every subcommand, in the order the help lists them.
inline constexpr AddCommand kCommands[] = {addScan,    addReplace, addImport, addConvert, addExport,
                                           addPalette, addHistory, addUndo,   addRedo};

}  // namespace orvane::cli
