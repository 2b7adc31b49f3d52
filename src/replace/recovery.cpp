// SPDX-License-Identifier: GPL-3.0-or-later
#include "replace/recovery.h"

#include <vector>

#include "previews/record_format.h"
#include "replace/history.h"
#include "replace/verified_write.h"
#include "shell/checksum.h"
#include "shell/tags.h"

namespace orvane {
namespace {

using journal::Outcome;
using journal::WriteEntry;

// How one interrupted write was settled, or why it could not be.
struct Settled {
  Outcome outcome = Outcome::LeftAlone;
  std::string foreignScene;  // for LeftAlone: why, as a clause
};

Result<Settled> settle(OpenFile& movie, const WriteEntry& entry) {
  std::vector<SceneState> states;
  for (const auto& scene : entry.scenes) {
    const auto state = sceneStateIn(movie, scene);
    if (!state) return state.error();
    const std::string which = "scene preview " + std::to_string(scene.preview);
    if (*state == SceneState::Foreign) return Settled{Outcome::LeftAlone, which + " was changed by someone else since"};
    if (*state == SceneState::Elsewhere)
      return Settled{Outcome::LeftAlone, which + " does not lie on a scene preview's record in the movie"};
    states.push_back(*state);
  }
  bool allAfter = true;
  for (const SceneState s : states) allAfter = allAfter && s == SceneState::After;
  if (allAfter) return Settled{Outcome::Done, {}};

  // Every scene of the write goes back, so that a write of several scenes is
  // never left half in the movie.
  std::vector<Block> back;
  for (std::size_t i = 0; i < states.size(); ++i)
    if (states[i] != SceneState::Before) back.push_back({entry.scenes[i].offset, entry.scenes[i].before, {}});
  if (!back.empty())
    if (const Status restored = writeBlocksVerified(movie, back).status; !restored) return restored.error();
  return Settled{Outcome::TakenBack, {}};
}

std::string settledLine(const WriteEntry& entry, const Settled& settled) {
  const std::string what = "An interrupted " + describeWrite(entry);
  switch (settled.outcome) {
    case Outcome::Done: return what + " had reached the movie whole and was kept.";
    case Outcome::TakenBack: return what + " was taken back: the movie is as it was before it.";
    case Outcome::LeftAlone: return what + " was left alone: " + settled.foreignScene + ".";
  }
  return what + ".";
}

}  // namespace

Result<SceneState> sceneStateIn(OpenFile& movie, const journal::SceneChange& scene) {
  if (scene.before.size() != record::kTrailerOffset || scene.after.size() != scene.before.size() ||
      (scene.beforeChecksum != 0 && crc32(scene.before) != scene.beforeChecksum))
    return SceneState::Elsewhere;
  const auto length = movie.length();
  if (!length) return length.error();
  if (scene.offset > *length || *length - scene.offset < record::kRecordBytes) return SceneState::Elsewhere;
  std::vector<std::uint8_t> now(record::kRecordBytes);
  const auto got = movie.readAt(scene.offset, now);
  if (!got) return got.error();
  if (*got != now.size() || !record::signatureAt(now.data())) return SceneState::Elsewhere;
  return classify(std::span(now).first(record::kTrailerOffset), scene.before, scene.after);
}

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
  std::vector<std::uint64_t> open;
  for (const WriteEntry* e : unmarkedWrites(journal.records())) open.push_back(e->seq);
  for (const std::uint64_t seq : open) {
    const auto entry = journal.whole(seq);
    if (!entry) {
      if (entry.error().code != ErrorCode::JournalFailed || journal.write(seq)) return entry.error();
      // Damaged: what it wrote is not known, so nothing is written.
      core.logline(entry.error().message + " An interrupted write recorded there was left alone.", tag::Replace);
      continue;
    }
    const auto settled = settle(movie, *entry);
    if (!settled) return Error{settled.error().code, describeWrite(*entry) + ": " + settled.error().message};
    const auto marked = journal.append(journal::Mark{0, seq, settled->outcome});
    if (!marked) return Error{marked.error().code, describeWrite(*entry) + ": " + marked.error().message};
    core.logline(settledLine(*entry, *settled), tag::Replace);
  }
  return {};
}

}  // namespace orvane
