// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/history_report.h"

#include <cstdio>

#include "cli/journal_steps.h"

namespace orvane::cli {

std::string historyLines(const History& history) {
  std::string text;
  for (auto r = history.replacements.rbegin(); r != history.replacements.rend(); ++r) {
    const Step step = stepOf(history, *r->entry);
    text += "step " + std::to_string(step.number) + "  " + localTimeText(r->entry->time) + "  " + step.scenes;
    if (!step.label.empty()) text += " (" + step.label + ")";
    text += std::string("  ") + stateText(r->state) + "\n";
  }
  return text;
}

std::string jsonString(const std::string& text) {
  std::string json = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      json += '\\';
      json += c;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      json += escaped;
    } else {
      json += c;
    }
  }
  return json + "\"";
}

std::string historyJson(const History& history) {
  if (history.replacements.empty()) return "[]\n";
  std::string json = "[\n";
  for (auto r = history.replacements.rbegin(); r != history.replacements.rend(); ++r) {
    const journal::WriteEntry& entry = *r->entry;
    const Step step = stepOf(history, entry);
    std::string previews;
    for (const auto& scene : entry.scenes) previews += (previews.empty() ? "" : ", ") + std::to_string(scene.preview);
    json += "  {\"step\": " + std::to_string(step.number) + ", \"time\": " + std::to_string(entry.time) +
            ", \"local_time\": " + jsonString(localTimeText(entry.time)) + ", \"previews\": [" + previews +
            "], \"state\": " + jsonString(stateText(r->state)) +
            ", \"label\": " + (step.label.empty() ? std::string("null") : jsonString(step.label)) +
            ", \"undo_next\": " + (history.undoable == &entry ? "true" : "false") +
            ", \"redo_next\": " + (history.redoable == &entry ? "true" : "false") + "}" +
            (std::next(r) != history.replacements.rend() ? ",\n" : "\n");
  }
  return json + "]\n";
}

}  // namespace orvane::cli
