// SPDX-License-Identifier: GPL-3.0-or-later
#include "replace/history.h"

#include <algorithm>
#include <ctime>
#include <map>

namespace orvane {
namespace {

using journal::Action;
using journal::Outcome;
using journal::WriteEntry;

// The last mark of every write that has one.
std::map<std::uint64_t, Outcome> outcomes(const std::vector<journal::Record>& records) {
  std::map<std::uint64_t, Outcome> last;
  for (const auto& record : records)
    if (const auto* mark = std::get_if<journal::Mark>(&record)) last[mark->write] = mark->outcome;
  return last;
}

void remove(std::vector<const WriteEntry*>& stack, const WriteEntry* entry) {
  stack.erase(std::remove(stack.begin(), stack.end(), entry), stack.end());
}

}  // namespace

History readHistory(const std::vector<journal::Record>& records) {
  const auto marks = outcomes(records);
  History history;
  std::map<std::uint64_t, std::size_t> index;  // replacement seq -> place in the list
  std::map<std::uint64_t, const WriteEntry*> bySeq;
  std::vector<const WriteEntry*> undoStack, redoStack;

  for (const auto& record : records) {
    const auto* e = std::get_if<WriteEntry>(&record);
    if (!e) continue;
    const auto mark = marks.find(e->seq);
    if (e->action == Action::Replace) {
      ReplacementState state = ReplacementState::Unfinished;
      if (mark != marks.end())
        state = mark->second == Outcome::Done        ? ReplacementState::Done
                : mark->second == Outcome::TakenBack ? ReplacementState::TakenBack
                                                     : ReplacementState::LeftAlone;
      index[e->seq] = history.replacements.size();
      bySeq[e->seq] = e;
      history.replacements.push_back({e, state});
      if (state == ReplacementState::Done) {
        undoStack.push_back(e);
        redoStack.clear();  // a new replacement ends what could be made again
      }
      continue;
    }
    // An undo or redo counts only once it reached the movie whole.
    const auto target = index.find(e->target);
    if (mark == marks.end() || mark->second != Outcome::Done || target == index.end()) continue;
    Replacement& r = history.replacements[target->second];
    if (e->action == Action::Undo) {
      r.state = ReplacementState::Undone;
      remove(undoStack, r.entry);
      redoStack.push_back(r.entry);
    } else {
      r.state = ReplacementState::Done;
      remove(redoStack, r.entry);
      undoStack.push_back(r.entry);
    }
  }
  history.undoable = undoStack.empty() ? nullptr : undoStack.back();
  history.redoable = redoStack.empty() ? nullptr : redoStack.back();
  return history;
}

std::vector<const WriteEntry*> unmarkedWrites(const std::vector<journal::Record>& records) {
  const auto marks = outcomes(records);
  std::vector<const WriteEntry*> open;
  for (const auto& record : records)
    if (const auto* e = std::get_if<WriteEntry>(&record); e && !marks.count(e->seq)) open.push_back(e);
  return open;
}

// A file or folder name as a log line shows it: a line break, tab or other
// control character in it appears as an escape (\n, \t, \x1b), and a
// backslash as \\, so that a name can never start a line of its own.
std::string escapedName(const std::string& name) {
  std::string out;
  for (const char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      out += "\\r";
    else if (c == '\t')
      out += "\\t";
    else if (u < 0x20 || u == 0x7f) {
      const char* digits = "0123456789abcdef";
      out += "\\x";
      out += digits[u >> 4];
      out += digits[u & 15];
    } else {
      out += c;
    }
  }
  return out;
}

std::string scenesText(const WriteEntry& entry) {
  std::vector<int> previews;
  for (const auto& scene : entry.scenes) previews.push_back(scene.preview);
  return previewsText(previews);
}

std::string previewsText(const std::vector<int>& previews) {
  if (previews.size() == 1) return "scene preview " + std::to_string(previews.front());
  // Runs of three or more numbers in a row as "first-last", so that a step
  // over a whole movie stays one short line.
  std::vector<std::string> parts;
  for (std::size_t i = 0; i < previews.size();) {
    std::size_t end = i + 1;
    while (end < previews.size() && previews[end] == previews[end - 1] + 1) ++end;
    if (end - i < 3) end = i + 1;
    parts.push_back(std::to_string(previews[i]) + (end - i >= 3 ? "-" + std::to_string(previews[end - 1]) : ""));
    i = end;
  }
  std::string text = "scene previews ";
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) text += i + 1 == parts.size() ? " and " : ", ";
    text += parts[i];
  }
  return text;
}

std::string describeWrite(const WriteEntry& entry) {
  const std::string replacement = "replacement of " + scenesText(entry);
  switch (entry.action) {
    case Action::Replace: return replacement;
    case Action::Undo: return "undo of the " + replacement;
    case Action::Redo: return "redo of the " + replacement;
  }
  return replacement;
}

const char* stateText(ReplacementState state) {
  switch (state) {
    case ReplacementState::Done: return "done";
    case ReplacementState::Undone: return "undone";
    case ReplacementState::TakenBack: return "interrupted, taken back";
    case ReplacementState::LeftAlone: return "interrupted, scene changed by someone else since";
    case ReplacementState::Unfinished: return "interrupted, not settled yet";
  }
  return "unknown";
}

std::string localTimeText(std::int64_t secondsSince1970) {
  const auto t = static_cast<std::time_t>(secondsSince1970);
  std::tm local{};
#ifdef _WIN32
  if (localtime_s(&local, &t) != 0) return "?";
#else
  if (!localtime_r(&t, &local)) return "?";
#endif
  char text[32];
  if (std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local) == 0) return "?";
  return text;
}

}  // namespace orvane
