// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/console_host.h"

#include <ostream>
#include <string>

namespace orvane::cli {

void ConsoleHost::logAppended(std::string_view line) {
  std::ostream* log = io_.log();
  if (!log) return;
  if (line.size() >= 2 && line.substr(line.size() - 2) == "\r\n") line.remove_suffix(2);
  *log << line << '\n';
}

std::string boxLine(std::string_view text, const std::string& file) {
  std::string joined;
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.empty() || (!file.empty() && line == file)) continue;
    joined += (joined.empty() ? "" : " ") + std::string(line);
  }
  return joined;
}

void ConsoleHost::messageBox(std::string_view text, std::string_view title, BoxIcon icon) {
  // The window's "Done" notice, the only plain box without a title.
  if (title.empty() && icon == BoxIcon::None) return;
  io_.diagnostic(file_) << boxLine(text, file_) << '\n';
}

}  // namespace orvane::cli
