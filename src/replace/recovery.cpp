// SPDX-License-Identifier: GPL-3.0-or-later
#include "replace/recovery.h"

#include <vector>

#include "replace/history.h"
#include "replace/journaled_write.h"
#include "replace/verified_write.h"
#include "shell/tags.h"

namespace orvane {
namespace {

using journal::Outcome;
using journal::WriteEntry;

// How one interrupted write was settled, or why it could not be.
struct Settled {
  Outcome outcome = Outcome::LeftAlone;
  std::string foreignScene;  // for LeftAlone: what changed
};

Result<Settled> settle(OpenFile& movie, const WriteEntry& entry) {
  const auto length = movie.length();
  if (!length) return length.error();
  if (*length != entry.movieLength) return Settled{Outcome::LeftAlone, "the movie's length"};

  std::vector<SceneState> states;
  for (const auto& scene : entry.scenes) {
    std::vector<std::uint8_t> now(scene.after.size());
    const auto got = movie.readAt(scene.offset, now);
    if (!got) return got.error();
    const SceneState state = *got == now.size() ? classify(now, scene.before, scene.after) : SceneState::Foreign;
    if (state == SceneState::Foreign)
      return Settled{Outcome::LeftAlone, "scene preview " + std::to_string(scene.preview)};
    states.push_back(state);
  }
  bool allAfter = true;
  for (const SceneState s : states) allAfter = allAfter && s == SceneState::After;
  if (allAfter) return Settled{Outcome::Done, {}};

  // Every scene of the write goes back, so that a write of several scenes is
  // never left half in the movie.
  std::vector<Block> back;
  for (std::size_t i = 0; i < states.size(); ++i)
    if (states[i] != SceneState::Before) back.push_back({entry.scenes[i].offset, entry.scenes[i].before, {}});
  std::vector<std::size_t> touched;
  if (!back.empty())
    if (const Status restored = writeBlocksVerified(movie, back, touched); !restored) return restored.error();
  return Settled{Outcome::TakenBack, {}};
}

std::string settledLine(const WriteEntry& entry, const Settled& settled) {
  const std::string what = "An interrupted " + describeWrite(entry);
  switch (settled.outcome) {
    case Outcome::Done: return what + " had reached the movie whole and was kept.";
    case Outcome::TakenBack: return what + " was taken back: the movie is as it was before it.";
    case Outcome::LeftAlone:
      return what + " was left alone: " + settled.foreignScene + " was changed by someone else since.";
  }
  return what + ".";
}

}  // namespace

SceneState classify(std::span<const std::uint8_t> now, std::span<const std::uint8_t> before,
                    std::span<const std::uint8_t> after) {
  bool allAfter = true, allBefore = true;
  for (std::size_t i = 0; i < now.size(); ++i) {
    const bool isAfter = now[i] == after[i], isBefore = now[i] == before[i];
    if (!isAfter && !isBefore) return SceneState::Foreign;
    allAfter = allAfter && isAfter;
    allBefore = allBefore && isBefore;
  }
  return allAfter ? SceneState::After : allBefore ? SceneState::Before : SceneState::Torn;
}

Status finishInterrupted(Core& core, OpenFile& movie, Journal& journal) {
  // Copies: marking appends to the records the pointers point into.
  std::vector<WriteEntry> open;
  for (const WriteEntry* e : unmarkedWrites(journal.records())) open.push_back(*e);
  for (const WriteEntry& entry : open) {
    const auto settled = settle(movie, entry);
    if (!settled) return Error{settled.error().code, describeWrite(entry) + ": " + settled.error().message};
    const auto marked = journal.append(journal::Mark{0, entry.seq, settled->outcome});
    if (!marked) return Error{marked.error().code, describeWrite(entry) + ": " + marked.error().message};
    core.logline(settledLine(entry, *settled), tag::Replace);
  }
  return {};
}

Status recoverMovie(Core& core, const std::string& movie, FileLayer& files) {
  const auto tell = [&core](const Error& error) {
    core.logline("An interrupted write in this movie could not be settled now (" + error.message +
                     "); Orvane tries again the next time the movie is opened.",
                 tag::Replace);
    return error;
  };
  const auto journal = Journal::load(files, movie);
  if (!journal) {
    core.logline(journal.error().message, tag::Replace);
    return journal.error();
  }
  if (unmarkedWrites(journal->records()).empty()) return {};
  if (auto held = holdMovie(core, movie, files); !held) return tell(held.error());
  return {};
}

}  // namespace orvane
