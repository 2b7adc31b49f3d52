// SPDX-License-Identifier: GPL-3.0-or-later
#include "replace/undo.h"

#include <algorithm>
#include <vector>

#include "replace/history.h"
#include "replace/journaled_write.h"
#include "replace/scan_facts.h"
#include "shell/tags.h"

namespace orvane {
namespace {

struct Words {
  const char* verb;      // "undo"
  const char* done;      // "undone"
  const char* title;     // of the failure box
  const char* nothingTitle;
  ErrorCode nothing;
};

const Words& wordsFor(HistoryStep step) {
  static const Words undo{"undo", "undone", "Can't undo", "Nothing to undo", ErrorCode::NothingToUndo};
  static const Words redo{"redo", "redone", "Can't redo", "Nothing to redo", ErrorCode::NothingToRedo};
  return step == HistoryStep::Undo ? undo : redo;
}

// The scene of `entry` whose bytes differ from what they should be, or null.
const journal::SceneChange* changedScene(OpenFile& movie, const journal::WriteEntry& entry, HistoryStep step) {
  for (const auto& scene : entry.scenes) {
    const auto& expected = step == HistoryStep::Undo ? scene.after : scene.before;
    std::vector<std::uint8_t> now(expected.size());
    const auto got = movie.readAt(scene.offset, now);
    if (!got || *got != now.size() || now != expected) return &scene;
  }
  return nullptr;
}

// The step under the movie's writer's lock, which ends when this returns
// (before any box waits for the user). Returns which scenes it changed, for
// the log line; errors carry the box's text.
Result<std::string> stepUnderLock(Core& core, const std::string& movie, HistoryStep step, FileLayer& files) {
  const Words& words = wordsFor(step);
  auto held = holdMovie(core, movie, files);
  if (!held) return notHeld(held.error(), movie);
  const History history = readHistory(held->journal.records());
  const journal::WriteEntry* target = step == HistoryStep::Undo ? history.undoable : history.redoable;
  if (!target)
    return Error{words.nothing, std::string("There is nothing to ") + words.verb + " in this movie.\r\n" + movie};
  const journal::WriteEntry replacement = *target;  // the journal grows below

  const auto before = held->file->identity();
  if (!before) return Error{before.error().code, before.error().message + "\r\n" + movie + "\r\nNothing was written."};
  const std::string since =
      " since the replacement of " + localTimeText(replacement.time) + (step == HistoryStep::Undo ? "" : " was undone");
  if (before->length != replacement.movieLength)
    return Error{ErrorCode::SceneChangedSince, "The movie was changed" + since + ": its length is different.\r\n" +
                                                   movie + "\r\nNothing was written."};
  if (const journal::SceneChange* changed = changedScene(*held->file, replacement, step))
    return Error{ErrorCode::SceneChangedSince, "Scene preview " + std::to_string(changed->preview) + " was changed" +
                                                   since + ": it no longer holds the picture Orvane wrote.\r\n" +
                                                   movie + "\r\nNothing was written."};

  journal::WriteEntry entry;
  entry.action = step == HistoryStep::Undo ? journal::Action::Undo : journal::Action::Redo;
  entry.target = replacement.seq;
  entry.movieLength = replacement.movieLength;
  entry.scenes = replacement.scenes;
  if (step == HistoryStep::Undo)
    for (auto& scene : entry.scenes) std::swap(scene.before, scene.after);

  const Status written = journaledWrite(files, *held, entry);
  const auto after = held->lock->identity();
  noteOwnWrite(core.s, movie, *before, after ? *after : FileIdentity{}, written ? &entry : nullptr);
  if (!written) return written.error();
  return scenesText(replacement);
}

}  // namespace

Status stepHistory(Core& core, const std::string& movie, HistoryStep step, FileLayer& files) {
  const Words& words = wordsFor(step);
  const auto stepped = stepUnderLock(core, movie, step, files);
  if (!stepped) {
    const Error& e = stepped.error();
    if (e.code == ErrorCode::MovieMoved) core.host.messageBox(e.message, "Error!", BoxIcon::Information);
    else if (e.code == ErrorCode::Busy) core.host.messageBox(e.message, "Movie in use", BoxIcon::Information);
    else if (e.code == words.nothing) core.host.messageBox(e.message, words.nothingTitle, BoxIcon::Information);
    else core.host.messageBox(e.message, words.title, BoxIcon::Critical);
    return e;
  }
  core.logline("Replacement of " + *stepped + " " + words.done + ".", tag::Replace);
  return {};
}

}  // namespace orvane
