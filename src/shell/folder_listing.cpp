// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/folder_listing.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace orvane {
namespace {

EntryKind kindOf(std::filesystem::file_type type) {
  switch (type) {
    case std::filesystem::file_type::regular: return EntryKind::File;
    case std::filesystem::file_type::symlink: return EntryKind::Link;
    case std::filesystem::file_type::directory: return EntryKind::Folder;
    default: return EntryKind::Other;
  }
}

}  // namespace

Result<std::vector<FolderEntry>> listFolder(const std::string& folder) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::directory_iterator it(fs::path(std::u8string(folder.begin(), folder.end())), ec);
  if (ec) return fromErrorCode(ec);
  std::vector<FolderEntry> entries;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) return fromErrorCode(ec);
    // The entry itself, never what a link leads to.
    const fs::file_status status = it->symlink_status(ec);
    const std::u8string name = it->path().filename().u8string();
    entries.push_back({std::string(name.begin(), name.end()), ec ? EntryKind::Other : kindOf(status.type())});
  }
  if (ec) return fromErrorCode(ec);
  std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  return entries;
}

}  // namespace orvane
