// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/journal_steps.h"

#include "workflow/movie_history.h"

namespace orvane::cli {
namespace {

// `pick` chooses the entry of the history read from the movie's journal.
template <typename Pick>
std::optional<Step> stepFrom(const std::string& movie, Pick pick) {
  const auto read = readMovieHistory(movie, false);
  if (!read) return std::nullopt;
  const History& history = read->history;
  const journal::WriteEntry* entry = pick(history);
  if (!entry) return std::nullopt;
  return stepOf(history, *entry);
}

std::string withLabel(const Step& step) {
  return step.scenes + (step.label.empty() ? std::string() : " (" + step.label + ")");
}

// "orvane-cli undo m.3mm", with "--" before a name that looks like an option.
std::string commandOn(const std::string& verb, const std::string& movie) {
  return "orvane-cli " + verb + (movie.rfind('-', 0) == 0 ? " -- " : " ") + shellWord(movie);
}

}  // namespace

std::optional<Step> newestReplacement(const std::string& movie) {
  return stepFrom(movie,
                  [](const History& h) { return h.replacements.empty() ? nullptr : h.replacements.back().entry; });
}

std::optional<Step> nextUndo(const std::string& movie) {
  return stepFrom(movie, [](const History& h) { return h.undoable; });
}

std::optional<Step> nextRedo(const std::string& movie) {
  return stepFrom(movie, [](const History& h) { return h.redoable; });
}

Step stepOf(const History& history, const journal::WriteEntry& entry) {
  std::size_t number = 0;
  for (std::size_t i = 0; i < history.replacements.size(); ++i)
    if (history.replacements[i].entry == &entry) number = i + 1;
  return {number, scenesText(entry), entryLabel(entry)};
}

std::string entryLabel(const journal::WriteEntry& entry) {
  // What went in (the picture's file name, or "folder DIR"), with control
  // characters escaped so that a file name cannot forge a line.
  return entry.label.empty() ? std::string() : escapedName(entry.label);
}

std::string shellWord(const std::string& path) {
  const bool plain = !path.empty() && path.find_first_not_of(
                                          "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                          "0123456789_-./+:,@%=") == std::string::npos;
  if (plain) return path;
  std::string quoted = "'";
  for (const char c : path) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string replacedLine(const Step& step, const std::string& movie) {
  return withLabel(step) + " replaced (journal step " + std::to_string(step.number) +
         "; undo with: " + commandOn("undo", movie) + ")";
}

std::string undoneLine(const Step& step, const std::string& movie) {
  return "replacement of " + withLabel(step) + " undone (journal step " + std::to_string(step.number) +
         "; redo with: " + commandOn("redo", movie) + ")";
}

std::string redoneLine(const Step& step, const std::string& movie) {
  return withLabel(step) + " replaced again (journal step " + std::to_string(step.number) +
         "; undo with: " + commandOn("undo", movie) + ")";
}

}  // namespace orvane::cli
