// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The logic's working set: the shared stores, the activity log, the progress
// bars and the window they report to. Every procedure takes it by reference,
// the way the window's own procedures would share its state.
#include <chrono>
#include <string>

#include "shell/activity_log.h"
#include "shell/host.h"
#include "shell/progress_bars.h"
#include "shell/stores.h"

namespace orvane {

struct Core {
  explicit Core(Host& h) : stores(makeStores()), s(*stores), host(h), log(h), bars(h) { setlists(s); }

  void logline(std::string_view message, Tag tag) { log.logline(message, tag); }

  std::unique_ptr<Stores> stores;
  Stores& s;
  Host& host;
  ActivityLog log;
  ProgressBars bars;
  // The decimal separator of the user's number format ("1.5pairs repaired.").
  std::string decimalSeparator = ".";
  // How long a writer waits for another writer's lock on a movie before it
  // gives up and says so.
  std::chrono::milliseconds lockPatience{2000};
};

}  // namespace orvane
