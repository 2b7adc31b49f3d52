// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One writer at a time: the movie's exclusive writer's lock, taken on a handle
// of its own so that it is held from before the first check of the movie
// until after the journal's last mark, however often the movie itself is
// opened and closed meanwhile.
#include <chrono>
#include <memory>
#include <string>

#include "shell/error.h"
#include "shell/file_layer.h"

namespace orvane {

// Opens the movie for writing and takes its writer's lock, asking again every
// few milliseconds while another writer (another window, the command line)
// holds it. After `patience` without the lock: Busy. The lock ends when the
// returned file is closed or destroyed. Errors of opening (NotFound when the
// movie is gone) come back as they are.
Result<std::unique_ptr<OpenFile>> lockMovie(FileLayer& files, const std::string& movie,
                                            std::chrono::milliseconds patience);

}  // namespace orvane
