// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the window would show, on a terminal: activity-log lines on standard
// error (or nowhere with -q), and the message boxes that refuse or fail as
// diagnostics, one line each. The box that only says a write is done is left
// out: the command prints its own outcome line on standard output.
#include <iosfwd>
#include <string>

#include "cli/command.h"
#include "shell/host.h"

namespace orvane::cli {

class ConsoleHost : public NullHost {
 public:
  // `file`: the file the command works on (the movie); diagnostics name it,
  // and a box's line that only repeats it is left out.
  explicit ConsoleHost(const Io& io, std::string file = {}) : io_(io), file_(std::move(file)) {}

  void logAppended(std::string_view line) override;
  // "orvane-cli: COMMAND: FILE: text", the box's lines joined by spaces.
  void messageBox(std::string_view text, std::string_view title, BoxIcon icon) override;

 private:
  const Io& io_;
  std::string file_;
};

// A box's text on one line: its lines joined by spaces, any line that is just
// `file` left out.
std::string boxLine(std::string_view text, const std::string& file);

}  // namespace orvane::cli
