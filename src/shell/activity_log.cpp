// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/activity_log.h"

#include "shell/host.h"

namespace orvane {

std::string ActivityLog::formatLine(std::string_view tagName, std::string_view message) {
  std::string line;
  line.reserve(tagName.size() + message.size() + 3);
  line.append(tagName).append(":").append(message).append("\r\n");
  return line;
}

void ActivityLog::logline(std::string_view message, Tag tag) {
  const std::string line = formatLine(tagName(tag), message);
  text_ += line;
  host_.logAppended(line);
}

}  // namespace orvane
