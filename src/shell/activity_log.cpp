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

void ActivityLog::logline(std::string_view message, int tag) {
  // Unsigned comparison: negative tags fail too.
  const auto index = static_cast<unsigned>(tag) < static_cast<unsigned>(kTagCount) ? tag : 0;
  const std::string line = formatLine(stores_.tagnames[static_cast<std::size_t>(index)], message);
  text_ += line;
  host_.logAppended(line);
}

}  // namespace orvane
