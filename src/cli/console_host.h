// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the window would show, on a terminal: activity-log lines on one stream
// (or nowhere, for quiet runs and for output that must stay clean), message
// boxes on standard error, one line each.
#include <iosfwd>

#include "shell/host.h"

namespace orvane::cli {

class ConsoleHost : public NullHost {
 public:
  // log: where log lines go, without their CR LF; nullptr drops them.
  ConsoleHost(std::ostream* log, std::ostream& err) : log_(log), err_(err) {}

  void logAppended(std::string_view line) override;
  // "title: text" (or just the text), line breaks turned into spaces.
  void messageBox(std::string_view text, std::string_view title, BoxIcon icon) override;

  // True once a message box was printed.
  bool boxShown() const { return boxShown_; }

 private:
  std::ostream* log_;
  std::ostream& err_;
  bool boxShown_ = false;
};

}  // namespace orvane::cli
