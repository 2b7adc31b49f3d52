// SPDX-License-Identifier: GPL-3.0-or-later
#include "replace/journaled_write.h"

#include <chrono>
#include <limits>
#include <vector>

#include "replace/verified_write.h"

namespace orvane {
namespace {

std::int64_t secondsNow() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

}  // namespace

Status journaledWrite(FileLayer& files, HeldMovie& held, journal::WriteEntry entry) {
  entry.time = secondsNow();
  const auto seq = held.journal.append(entry);
  if (!seq) return writeFailure(ErrorCode::JournalFailed, seq.error().message, held.path, "Nothing was written.");

  // Each scene as one block, all of them flushed once and read back; on a
  // failure, what may have changed.
  std::vector<Block> blocks;
  for (const auto& scene : entry.scenes) blocks.push_back({scene.offset, scene.after, scene.before});
  const BlocksWritten wrote = writeBlocksVerified(*held.file, blocks);
  Status written = wrote.status;
  std::vector<Region> reached;
  for (std::size_t i = 0; i < entry.scenes.size(); ++i)
    reached.push_back({entry.scenes[i].offset, std::span(entry.scenes[i].before).first(wrote.touched[i])});
  bool closed = false;
  if (written) {
    closed = true;
    if (const auto closing = held.file->close(); !closing)
      written = Error{ErrorCode::WriteFailed, "Closing the movie failed (" + closing.error().message + ")."};
  }
  if (written) {
    // A mark that cannot be written is settled by the next opening, which
    // finds every new byte in place and keeps them.
    settledLater(held.journal.append(journal::Mark{0, *seq, journal::Outcome::Done}));
    // The history kept within its limits; a journal that cannot be rewritten
    // now keeps growing a little until a later write can. An undo or redo
    // adds no step, so only the size can take it over a limit.
    JournalLimits limits;
    if (entry.action != journal::Action::Replace) limits.steps = std::numeric_limits<std::size_t>::max();
    settledLater(held.journal.prune(limits));
    return {};
  }

  bool anything = false;
  for (const Region& r : reached) anything = anything || !r.previous.empty();
  if (!anything) {
    // Unmarked, the entry is settled by the next opening, which finds the old
    // bytes in place.
    settledLater(held.journal.append(journal::Mark{0, *seq, journal::Outcome::TakenBack}));
    return writeFailure(ErrorCode::WriteFailed, written.error().message, held.path,
                        "Nothing was written; the movie is as it was.");
  }
  const Status restored = putBack(files, held.file, closed, held.path, reached);
  const bool one = entry.scenes.size() == 1;
  if (!restored)
    return writeFailure(ErrorCode::WriteFailed, written.error().message, held.path,
                        one ? "Putting the old scene preview back failed too: " + restored.error().message +
                                  "\r\nThe scene preview in the movie may be damaged. Please open the movie again: "
                                  "Orvane then keeps the new picture if all of it is in the movie, and puts the "
                                  "old one back otherwise."
                            : "Putting the old scene previews back failed too: " + restored.error().message +
                                  "\r\nScene previews in the movie may be damaged. Please open the movie again: "
                                  "Orvane then keeps the new pictures if all of them are in the movie whole, and "
                                  "puts every old one back otherwise.");
  // Unmarked, the entry is settled by the next opening, which finds the old
  // bytes in place.
  settledLater(held.journal.append(journal::Mark{0, *seq, journal::Outcome::TakenBack}));
  return writeFailure(ErrorCode::WriteFailed, written.error().message, held.path,
                      one ? "The old scene preview was put back; the movie is as it was."
                          : "The old scene previews were put back; the movie is as it was.");
}

}  // namespace orvane
