// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/movie_command.h"

#include <ostream>

#include "cli/console_host.h"
#include "workflow/movie_history.h"

namespace orvane::cli {

Told openedAndSettled(Core& core, const std::string& movie, const Io& io) {
  const auto opened = openForHistory(core, movie);
  if (!opened) {
    io.diagnostic(movie) << "cannot open the movie: " << opened.error().message << '\n';
    return opened.error();
  }
  // What it could not settle, it has logged. A journal that is refused, or
  // is no journal, is told on standard error too, where it is seen even when
  // the log is not printed: the movie is read-only until it is dealt with.
  if (const Status& settled = opened->settling;
      !settled && (settled.error().code == ErrorCode::NotOwnFile || settled.error().code == ErrorCode::JournalFailed))
    io.diagnostic(movie) << boxLine(settled.error().message, movie) << '\n';
  return {};
}

}  // namespace orvane::cli
