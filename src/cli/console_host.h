#pragma once
// The command line's window: log lines on standard output, message boxes on
// standard error, one line each.
#include <ostream>
#include <string>
#include <string_view>

#include "shell/host.h"

namespace orvane::cli {

class ConsoleHost : public NullHost {
 public:
  ConsoleHost(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

  void logAppended(std::string_view line) override {
    if (line.size() >= 2 && line.substr(line.size() - 2) == "\r\n") line.remove_suffix(2);
    out_ << line << '\n';
  }
  void messageBox(std::string_view text, std::string_view title, BoxIcon) override {
    std::string flat;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      flat += (text[i] == '\r' || text[i] == '\n') ? ' ' : text[i];
    }
    if (!title.empty()) err_ << title << ": ";
    err_ << flat << '\n';
  }

 private:
  std::ostream& out_;
  std::ostream& err_;
};

}  // namespace orvane::cli
