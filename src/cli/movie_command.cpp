// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/movie_command.h"

#include <ostream>

#include "replace/recovery.h"

namespace orvane::cli {

bool openedAndSettled(Core& core, const std::string& movie, const Io& io) {
  if (auto opened = systemFileLayer().open(movie, OpenMode::Read); !opened) {
    io.diagnostic(movie) << "cannot open the movie: " << opened.error().message << '\n';
    return false;
  }
  (void)recoverMovie(core, movie);  // what it could not settle, it has logged
  return true;
}

}  // namespace orvane::cli
