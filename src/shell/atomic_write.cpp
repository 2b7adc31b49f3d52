// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-file writes through a temporary file and a rename, with POSIX and
// Windows branches for the one step the standard library cannot do: creating
// a file that must not exist yet, and flushing it to stable storage.
#include "shell/atomic_write.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <random>

#include "shell/platform.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace orvane {

namespace {

namespace fs = std::filesystem;

fs::path fromUtf8(const std::string& path) { return fs::path(std::u8string(path.begin(), path.end())); }

std::error_code lastError() { return {errno, std::generic_category()}; }

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

#if defined(_WIN32)

// Creates `path` (failing if anything is there), writes all of `bytes` and
// commits them to disk.
std::error_code writeNewFile(const fs::path& path, std::span<const std::uint8_t> bytes, bool& created) {
  const int fd = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                        _S_IREAD | _S_IWRITE);
  if (fd < 0) return lastError();
  created = true;
  std::error_code result;
  for (std::size_t done = 0; done < bytes.size() && !result;) {
    const auto want = static_cast<unsigned>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    const int n = _write(fd, bytes.data() + done, want);
    if (n <= 0) result = n < 0 ? lastError() : std::make_error_code(std::errc::io_error);
    else done += static_cast<std::size_t>(n);
  }
  if (!result && _commit(fd) != 0) result = lastError();
  if (_close(fd) != 0 && !result) result = lastError();
  return result;
}

void syncFolder(const fs::path&) {}  // moveOver writes the rename through

#else

std::error_code writeNewFile(const fs::path& path, std::span<const std::uint8_t> bytes, bool& created) {
  int fd;
  do fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) return lastError();
  created = true;
  std::error_code result;
  for (std::size_t done = 0; done < bytes.size() && !result;) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) result = n < 0 ? lastError() : std::make_error_code(std::errc::io_error);
    else done += static_cast<std::size_t>(n);
  }
  if (!result && ::fsync(fd) != 0) result = lastError();
  if (::close(fd) != 0 && !result) result = lastError();
  return result;
}

// Makes the rename itself durable; a folder that cannot be synced is no
// reason to call the write failed.
void syncFolder(const fs::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

#endif

}  // namespace

Status checkWriteTarget(const std::string& path, const std::string& source) {
  const fs::path target = fromUtf8(path);
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(target, ec);
  if (status.type() == fs::file_type::not_found) return {};  // some libraries also set ec here
  if (ec) return fromErrorCode(ec);
  if (status.type() == fs::file_type::symlink)
    return Error{ErrorCode::OutputIsLink, "the output name is a symbolic link, and Orvane does not write through links"};
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
