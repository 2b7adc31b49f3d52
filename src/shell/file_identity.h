// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which file a path led to, and in what state: two looks at a path that give
// the same identity saw the same, unchanged file (as far as the system tells).
#include <cstdint>

namespace orvane {

struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;  // the file's number on its device (its file index on Windows)
  std::uint64_t length = 0;
  std::int64_t modifiedNs = 0;  // last modification, nanoseconds since 1970

  bool operator==(const FileIdentity&) const = default;
};

}  // namespace orvane
