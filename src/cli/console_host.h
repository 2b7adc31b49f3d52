#pragma once
// What the window would show, on a terminal: activity-log lines on standard
// output, message boxes on standard error, one line each.
#include <iosfwd>

#include "shell/host.h"

namespace orvane::cli {

class ConsoleHost : public NullHost {
 public:
  ConsoleHost(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

  // The line without its CR LF.
  void logAppended(std::string_view line) override;
  // "title: text" (or just the text), line breaks turned into spaces.
  void messageBox(std::string_view text, std::string_view title, BoxIcon icon) override;

 private:
  std::ostream& out_;
  std::ostream& err_;
};

}  // namespace orvane::cli
