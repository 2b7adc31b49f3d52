// SPDX-License-Identifier: GPL-3.0-or-later
#include "replace/undo.h"

#include <algorithm>
#include <vector>

#include "replace/history.h"
#include "replace/journaled_write.h"
#include "replace/recovery.h"
#include "replace/scan_facts.h"
#include "shell/tags.h"

namespace orvane {
namespace {

struct Words {
  const char* verb;   // "undo"
  const char* done;   // "undone"
  const char* title;  // of the failure box
  const char* nothingTitle;
  ErrorCode nothing;
};

const Words& wordsFor(HistoryStep step) {
  static const Words undo{"undo", "undone", "Can't undo", "Nothing to undo", ErrorCode::NothingToUndo};
  static const Words redo{"redo", "redone", "Can't redo", "Nothing to redo", ErrorCode::NothingToRedo};
  return step == HistoryStep::Undo ? undo : redo;
}

// The scene of `entry` that does not hold exactly what it should (for an
// undo, the bytes the replacement wrote; for a redo, those the undo wrote
// back) on a record of the movie, and why; or nothing.
struct Changed {
  const journal::SceneChange* scene = nullptr;
  bool elsewhere = false;  // no record lies there at all
};
Result<Changed> changedScene(OpenFile& movie, const journal::WriteEntry& entry, HistoryStep step) {
  const SceneState wanted = step == HistoryStep::Undo ? SceneState::After : SceneState::Before;
  for (const auto& scene : entry.scenes) {
    const auto state = sceneStateIn(movie, scene);
    if (!state) return state.error();
    if (*state != wanted) return Changed{&scene, *state == SceneState::Elsewhere};
  }
  return Changed{};
}

// The step under the movie's writer's lock, which ends when this returns
// (before any box waits for the user). Returns which scenes it changed, for
// the log line; errors carry the box's text.
Result<std::string> stepUnderLock(Core& core, const std::string& movie, HistoryStep step, FileLayer& files) {
  const Words& words = wordsFor(step);
  auto held = holdMovie(core, movie, files);
  if (!held) return notHeld(held.error(), movie);
  // A write whose journal entry turns out damaged is dropped from the history
  // (with a line in the log), and the step goes to the one before it.
  journal::WriteEntry replacement;
  for (;;) {
    const History history = readHistory(held->journal.records());
    const journal::WriteEntry* target = step == HistoryStep::Undo ? history.undoable : history.redoable;
    if (!target)
      return Error{words.nothing, std::string("There is nothing to ") + words.verb + " in this movie.\r\n" + movie};
    const std::uint64_t seq = target->seq;  // whole() may drop the record target points to
    auto whole = held->journal.whole(seq);
    if (whole) {
      replacement = std::move(*whole);
      break;
    }
    if (held->journal.write(seq))
      return writeFailure(whole.error().code, whole.error().message, movie, "Nothing was written.");
    core.logline(whole.error().message + " That step was skipped.", tag::Replace);
  }

  const auto before = held->file->identity();
  if (!before) return Error{before.error().code, before.error().message + "\r\n" + movie + "\r\nNothing was written."};
  const std::string since =
      " since the replacement of " + localTimeText(replacement.time) + (step == HistoryStep::Undo ? "" : " was undone");
  if (before->length != replacement.movieLength)
    return Error{ErrorCode::SceneChangedSince, "The movie was changed" + since + ": its length is different.\r\n" +
                                                   movie + "\r\nNothing was written."};
  const auto changed = changedScene(*held->file, replacement, step);
  if (!changed)
    return writeFailure(ErrorCode::WriteFailed, "The movie could not be read (" + changed.error().message + ").", movie,
                        "Nothing was written.");
  if (changed->scene && changed->elsewhere)
    return Error{ErrorCode::SceneChangedSince, "Scene preview " + std::to_string(changed->scene->preview) +
                                                   " does not lie on a scene preview's record in this movie: "
                                                   "the journal does not match it.\r\n" +
                                                   movie + "\r\nNothing was written."};
  if (changed->scene)
    return Error{ErrorCode::SceneChangedSince,
                 "Scene preview " + std::to_string(changed->scene->preview) + " was changed" + since +
                     ": it no longer holds the picture Orvane wrote.\r\n" + movie + "\r\nNothing was written."};

  journal::WriteEntry entry;
  entry.action = step == HistoryStep::Undo ? journal::Action::Undo : journal::Action::Redo;
  entry.target = replacement.seq;
  entry.movieLength = replacement.movieLength;
  entry.scenes = replacement.scenes;
  entry.label = replacement.label;
  if (step == HistoryStep::Undo)
    for (auto& scene : entry.scenes) std::swap(scene.before, scene.after);

  const Status written = journaledWrite(files, *held, entry);
  const auto after = held->lock->identity();
  noteOwnWrite(core.s, movie, *before, after ? *after : FileIdentity{}, written ? &entry : nullptr);
  if (!written) return written.error();
  return scenesText(replacement);
}

}  // namespace

Told stepHistory(Core& core, const std::string& movie, HistoryStep step, FileLayer& files) {
  const Words& words = wordsFor(step);
  const auto stepped = stepUnderLock(core, movie, step, files);
  if (!stepped) {
    const Error& e = stepped.error();
    if (e.code == ErrorCode::MovieMoved)
      core.host.messageBox(e.message, "Error!", BoxIcon::Information);
    else if (e.code == ErrorCode::Busy)
      core.host.messageBox(e.message, "Movie in use", BoxIcon::Information);
    else if (e.code == words.nothing)
      core.host.messageBox(e.message, words.nothingTitle, BoxIcon::Information);
    else
      core.host.messageBox(e.message, words.title, BoxIcon::Critical);
    return e;
  }
  core.logline("Replacement of " + *stepped + " " + words.done + ".", tag::Replace);
  return {};
}

}  // namespace orvane
