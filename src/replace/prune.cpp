// SPDX-License-Identifier: GPL-3.0-or-later
#include "replace/prune.h"

#include "replace/journaled_write.h"
#include "shell/tags.h"

namespace orvane {

Result<std::size_t> pruneHistory(Core& core, const std::string& movie, const JournalLimits& limits, FileLayer& files) {
  auto held = holdMovie(core, movie, files);
  if (!held) return notHeld(held.error(), movie);
  const auto dropped = held->journal.prune(limits);
  if (!dropped) return dropped.error();
  core.logline(*dropped == 0 ? std::string("The history is within its limits: nothing was dropped.")
                             : "The oldest " + std::to_string(*dropped) +
                                   (*dropped == 1 ? " replacement was" : " replacements were") +
                                   " dropped from the history; they can no longer be undone.",
               tag::Replace);
  return dropped;
}

}  // namespace orvane
