// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The activity log: tagged lines "Tag:message" + CR LF, only ever appended.
#include <string>
#include <string_view>

#include "shell/tags.h"

namespace orvane {

class Host;

class ActivityLog {
 public:
  explicit ActivityLog(Host& host) : host_(host) {}

  // Appends one line and hands it to the view, which appends it and puts the
  // caret at the end. A tag outside 0..50 is written as "unknown" (tagName).
  void logline(std::string_view message, Tag tag);

  // The exact log text, CR LF line ends included.
  const std::string& text() const { return text_; }

  // Composes a line without appending it.
  static std::string formatLine(std::string_view tagName, std::string_view message);

 private:
  Host& host_;
  std::string text_;
};

}  // namespace orvane
