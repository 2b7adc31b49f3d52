// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-file writes through a temporary file and a rename. The steps the
// standard library cannot do (creating a file that must not exist yet,
// flushing it and its folder to stable storage) are in platform.cpp.
#include "shell/atomic_write.h"

#include <algorithm>
#include <filesystem>
#include <random>

#include "shell/platform.h"

namespace orvane {

namespace {

namespace fs = std::filesystem;

fs::path fromUtf8(const std::string& path) { return fs::path(std::u8string(path.begin(), path.end())); }

// A name beside `target` that nothing else uses: hidden, and telling where it
// comes from should a crash leave it behind.
fs::path temporaryBeside(const fs::path& target) {
  static std::random_device entropy;
  static std::mt19937_64 rng(entropy());
  static constexpr char kHex[] = "0123456789abcdef";
  std::string suffix;
  for (std::uint64_t r = rng(); suffix.size() < 12; r >>= 4) suffix += kHex[r & 0xF];
  // Joined as paths, so that a name that is not UTF-8 on this system stays intact.
  fs::path name(".");
  name += target.filename();
  name += ".orvane-";
  name += suffix;
  return target.parent_path() / name;
}

}  // namespace

Status checkWriteTarget(const std::string& path, const std::string& source) {
  const fs::path target = fromUtf8(path);
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(target, ec);
  if (status.type() == fs::file_type::not_found) return {};  // some libraries also set ec here
  if (ec) return fromErrorCode(ec);
  if (status.type() == fs::file_type::symlink)
    return Error{ErrorCode::OutputIsLink,
                 "the output name is a symbolic link, and Orvane does not write through links"};
  if (status.type() != fs::file_type::regular)
    return Error{ErrorCode::NotRegularFile, "the output name belongs to a folder or device, not a file"};
  if (!source.empty() && fs::equivalent(fromUtf8(source), target, ec) && !ec)
    return Error{ErrorCode::OutputIsSource, "the output is the movie being read"};
  return {};
}

Status writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes, const std::string& source) {
  if (auto allowed = checkWriteTarget(path, source); !allowed) return allowed;
  const fs::path target = fromUtf8(path);
  std::error_code result;
  fs::path temporary;
  bool created = false;
  // Another program may have taken the name just drawn: draw again.
  for (int attempt = 0; attempt < 16; ++attempt) {
    temporary = temporaryBeside(target);
    result = writeNewFile(temporary, bytes, created);
    if (created || result != std::errc::file_exists) break;
  }
  // The rename replaces the name itself: a link put there meanwhile is
  // replaced, never followed.
  if (!result) result = moveOver(temporary, target);
  if (result) {
    std::error_code ignored;
    if (created) fs::remove(temporary, ignored);
    return fromErrorCode(result);
  }
  syncFolder(target.parent_path());
  return {};
}

}  // namespace orvane
