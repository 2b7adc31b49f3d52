// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writes a whole file so that nobody ever sees half of it: the bytes go to a
// new file beside the target, are flushed to stable storage, and only then is
// that file renamed over the target. A failure at any step removes the new
// file and leaves whatever was at the target as it was.
//
// The target is a name, never a way to somewhere else: an output name that is
// a symbolic link (dangling or not) is refused, as are folders and devices,
// and so is an output that is the very file being read from (same device and
// inode, which also catches hard links and other spellings of the same path).
#include <cstdint>
#include <span>
#include <string>

#include "shell/error.h"

namespace orvane {

// Whether `path` may be written while `source` is being read (no source: an
// empty string). Paths are UTF-8. A target that does not exist yet is fine; a
// link is OutputIsLink, a folder or device NotRegularFile, the source itself
// OutputIsSource; one that cannot be examined gives the system's error.
Status checkWriteTarget(const std::string& path, const std::string& source = {});

// Writes `bytes` to `path` as described above, replacing a regular file that
// is already there.
Status writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                           const std::string& source = {});

}  // namespace orvane
