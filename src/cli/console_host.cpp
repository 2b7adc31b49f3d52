// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/console_host.h"

#include <ostream>
#include <string>

namespace orvane::cli {

void ConsoleHost::logAppended(std::string_view line) {
  if (!log_) return;
  if (line.size() >= 2 && line.substr(line.size() - 2) == "\r\n") line.remove_suffix(2);
  *log_ << line << '\n';
}

void ConsoleHost::messageBox(std::string_view text, std::string_view title, BoxIcon) {
  std::string flat;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    flat += (text[i] == '\r' || text[i] == '\n') ? ' ' : text[i];
  }
  if (!title.empty()) err_ << title << ": ";
  err_ << flat << '\n';
  boxShown_ = true;
}

}  // namespace orvane::cli
