// Everything that talks to the operating system directly: the executable's
// folder and the files (open without creating, positioned reads and writes,
// flushing to stable storage), with POSIX and Windows branches side by side.
#include "shell/platform.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <limits>

#include "shell/file_layer.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <sys/types.h>
#ifndef NOMINMAX
#define NOMINMAX  // keep std::min and std::max usable
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#if defined(__APPLE__)
#include <mach-o/dyld.h>
#endif
#endif

namespace orvane {

namespace {

Error lastError() { return systemError(errno); }

Error notRegular() { return {ErrorCode::NotRegularFile, "Not a regular file"}; }

std::filesystem::path fromUtf8(const std::string& path) {
  return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

#ifdef _WIN32
// The C runtime has no positioned transfers: seek, then read or write, in
// pieces small enough for its unsigned int counts.
constexpr std::size_t kChunk = 1u << 30;

class SystemFile final : public OpenFile {
 public:
  explicit SystemFile(int fd) : fd_(fd) {}
  ~SystemFile() override { static_cast<void>(close()); }  // an error here has no one to go to

  Result<std::uint64_t> length() override {
    struct _stat64 st {};
    if (_fstat64(fd_, &st) != 0) return lastError();
    if ((st.st_mode & _S_IFMT) == _S_IFDIR) return systemError(EISDIR);
    if ((st.st_mode & _S_IFMT) != _S_IFREG) return notRegular();
    return static_cast<std::uint64_t>(st.st_size);
  }

  Result<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> out) override {
    std::size_t got = 0;
    if (_lseeki64(fd_, static_cast<__int64>(offset), SEEK_SET) < 0) return lastError();
    while (got < out.size()) {
      const auto want = static_cast<unsigned>(std::min(out.size() - got, kChunk));
      const int n = _read(fd_, out.data() + got, want);
      if (n < 0) return lastError();
      if (n == 0) break;
      got += static_cast<std::size_t>(n);
    }
    return got;
  }

  Result<std::size_t> writeAt(std::uint64_t offset, std::span<const std::uint8_t> data) override {
    if (_lseeki64(fd_, static_cast<__int64>(offset), SEEK_SET) < 0) return lastError();
    // As on POSIX: one block (blocks here are far below kChunk), a short write
    // is reported to the caller rather than retried.
    const auto want = static_cast<unsigned>(std::min(data.size(), kChunk));
    const int n = _write(fd_, data.data(), want);
    if (n < 0) return lastError();
    return static_cast<std::size_t>(n);
  }

  Status flush() override { return _commit(fd_) == 0 ? Status{} : Status{lastError()}; }

  Status close() override {
    if (fd_ < 0) return {};
    const int fd = fd_;
    fd_ = -1;
    return _close(fd) == 0 ? Status{} : Status{lastError()};
  }

 private:
  int fd_;
};

int openDescriptor(const std::string& path, OpenMode mode) {
  const int flags = _O_BINARY | _O_NOINHERIT | (mode == OpenMode::ReadWrite ? _O_RDWR : _O_RDONLY);
  return _wopen(fromUtf8(path).c_str(), flags);
}

#else

class SystemFile final : public OpenFile {
 public:
  explicit SystemFile(int fd) : fd_(fd) {}
  ~SystemFile() override { static_cast<void>(close()); }  // an error here has no one to go to

  Result<std::uint64_t> length() override {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return lastError();
    // Only a regular file has a length worth reading; a folder, device or pipe does not.
    if (S_ISDIR(st.st_mode)) return systemError(EISDIR);
    if (!S_ISREG(st.st_mode)) return notRegular();
    return static_cast<std::uint64_t>(st.st_size);
  }

  Result<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> out) override {
    std::size_t got = 0;
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()) - out.size())
      return systemError(EOVERFLOW);
    while (got < out.size()) {
      const ssize_t n = ::pread(fd_, out.data() + got, out.size() - got, static_cast<off_t>(offset + got));
      if (n < 0) {
        if (errno == EINTR) continue;
        return lastError();
      }
      if (n == 0) break;
      got += static_cast<std::size_t>(n);
    }
    return got;
  }

  Result<std::size_t> writeAt(std::uint64_t offset, std::span<const std::uint8_t> data) override {
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()) - data.size())
      return systemError(EOVERFLOW);
    // One write call for the whole block. A short write on a regular file means
    // the disk or a file-size limit stopped it: writing on would only be
    // refused again (or, past a size limit, end the process half-way), so the
    // caller is told how far it got and decides what to do.
    ssize_t n;
    do n = ::pwrite(fd_, data.data(), data.size(), static_cast<off_t>(offset));
    while (n < 0 && errno == EINTR);
    if (n < 0) return lastError();
    return static_cast<std::size_t>(n);
  }

  Status flush() override {
#ifdef F_FULLFSYNC
    // fsync alone leaves the data in the drive's cache on these systems.
    if (::fcntl(fd_, F_FULLFSYNC) == 0) return {};
#endif
    return ::fsync(fd_) == 0 ? Status{} : Status{lastError()};
  }

  Status close() override {
    if (fd_ < 0) return {};
    const int fd = fd_;
    fd_ = -1;  // the descriptor is released even when close reports an error
    return ::close(fd) == 0 ? Status{} : Status{lastError()};
  }

 private:
  int fd_;
};

int openDescriptor(const std::string& path, OpenMode mode) {
  const int flags = O_CLOEXEC | (mode == OpenMode::ReadWrite ? O_RDWR : O_RDONLY);
  int fd;
  do fd = ::open(path.c_str(), flags);
  while (fd < 0 && errno == EINTR);
#ifdef POSIX_FADV_SEQUENTIAL
  // Movies are read front to back once; let the kernel read ahead generously.
  if (fd >= 0 && mode == OpenMode::Read) ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
  return fd;
}

#endif

class SystemFileLayer final : public FileLayer {
 public:
  bool exists(const std::string& path) override {
    std::error_code ec;
    const auto st = std::filesystem::status(fromUtf8(path), ec);
    return !ec && std::filesystem::exists(st) && !std::filesystem::is_directory(st);
  }

  Result<std::unique_ptr<OpenFile>> open(const std::string& path, OpenMode mode) override {
    const int fd = openDescriptor(path, mode);
    if (fd < 0) return lastError();
    return std::unique_ptr<OpenFile>(std::make_unique<SystemFile>(fd));
  }
};

}  // namespace

FileLayer& systemFileLayer() {
  static SystemFileLayer layer;
  return layer;
}


std::string executableDir() {
  std::filesystem::path exe;
#if defined(_WIN32)
  wchar_t buffer[32768];
  const DWORD n = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(std::size(buffer)));
  if (n == 0 || n >= std::size(buffer)) return {};
  exe = std::filesystem::path(std::wstring(buffer, n));
#elif defined(__APPLE__)
  char buffer[4096];
  std::uint32_t size = sizeof buffer;
  if (_NSGetExecutablePath(buffer, &size) != 0) return {};
  exe = buffer;
#else
  std::error_code ec;
  exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
#endif
  return exe.parent_path().string();
}

}  // namespace orvane
