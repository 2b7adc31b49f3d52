// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The names in a folder and what each one is, symbolic links not followed: a
// link is reported as a link, whatever it points at, so that a caller can
// keep to the files that really lie in the folder.
#include <string>
#include <vector>

#include "shell/error.h"

namespace orvane {

enum class EntryKind { File, Link, Folder, Other };

struct FolderEntry {
  std::string name;  // UTF-8, without the folder
  EntryKind kind = EntryKind::Other;
};

// Every entry of `folder` (a UTF-8 path) but "." and "..", sorted by name.
// A folder that is missing, not a folder or unreadable gives the system's error.
Result<std::vector<FolderEntry>> listFolder(const std::string& folder);

}  // namespace orvane
