// SPDX-License-Identifier: GPL-3.0-or-later
// Everything that talks to the operating system directly: the executable's
// and the user's state folders, the file-size signal, and the files (open
// without blocking and only when regular, create, positioned reads and writes,
// flushing files and folders to stable storage, identity, the writer's lock),
// with POSIX and Windows branches side by side.
#include "shell/platform.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <thread>

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
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#if defined(__linux__)
#include <sched.h>
#endif
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

  Result<FileIdentity> identity() override {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle(), &info)) return Error{ErrorCode::Io, "The file's identity is unknown"};
    const auto join = [](DWORD high, DWORD low) { return (std::uint64_t{high} << 32) | low; };
    // 100-nanosecond ticks since 1601 to nanoseconds since 1970.
    constexpr std::int64_t kTicksTo1970 = 116444736000000000LL;
    const auto ticks =
        static_cast<std::int64_t>(join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime));
    return FileIdentity{info.dwVolumeSerialNumber, join(info.nFileIndexHigh, info.nFileIndexLow),
                        join(info.nFileSizeHigh, info.nFileSizeLow), (ticks - kTicksTo1970) * 100};
  }

  // A byte far beyond any movie's end is locked: Windows locks keep other
  // handles from reading and writing the bytes they cover, and the movie's
  // own bytes must stay readable.
  Status tryLock() override {
    OVERLAPPED at{};
    at.Offset = kLockOffsetLow;
    at.OffsetHigh = kLockOffsetHigh;
    if (LockFileEx(handle(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
      locked_ = true;
      return {};
    }
    if (GetLastError() == ERROR_LOCK_VIOLATION) return Error{ErrorCode::Busy, "Another program is writing to it"};
    return Error{ErrorCode::Io, "The file could not be locked"};
  }

  Status close() override {
    if (fd_ < 0) return {};
    if (locked_) {
      OVERLAPPED at{};
      at.Offset = kLockOffsetLow;
      at.OffsetHigh = kLockOffsetHigh;
      UnlockFileEx(handle(), 0, 1, 0, &at);
      locked_ = false;
    }
    const int fd = fd_;
    fd_ = -1;
    return _close(fd) == 0 ? Status{} : Status{lastError()};
  }

 private:
  static constexpr DWORD kLockOffsetLow = 0xFFFFFFFEu, kLockOffsetHigh = 0x7FFFFFFFu;
  HANDLE handle() const { return reinterpret_cast<HANDLE>(_get_osfhandle(fd_)); }
  int fd_;
  bool locked_ = false;
};

// Windows has no non-blocking open; a path that is no regular file is closed
// again as soon as it is seen to be one.
int openDescriptor(const std::string& path, int access) {
  return _wopen(fromUtf8(path).c_str(), _O_BINARY | _O_NOINHERIT | access, _S_IREAD | _S_IWRITE);
}

Error openError(const std::string&, int errnum) { return systemError(errnum); }

constexpr int kReadOnly = _O_RDONLY, kReadWrite = _O_RDWR, kCreate = _O_CREAT;

Status regularOrClose(int fd) {
  struct _stat64 st {};
  const bool known = _fstat64(fd, &st) == 0;
  const int type = known ? (st.st_mode & _S_IFMT) : 0;
  if (known && type == _S_IFREG) return {};
  const Error why = !known ? lastError() : type == _S_IFDIR ? systemError(EISDIR) : notRegular();
  _close(fd);
  return why;
}

Status flushFolderOf(const std::string&) {
  // NTFS records new names in its own journal; a folder cannot be flushed
  // through the C runtime.
  return {};
}

Error notOwn(const std::string& why) { return {ErrorCode::NotOwnFile, why}; }

// Windows keeps no owner and mode bits that the C runtime shows; what can be
// checked is that the name is no reparse point (a symbolic link or junction,
// which would lead elsewhere) and names a regular file.
Result<int> openOwnDescriptor(const std::string& path, int access) {
  const DWORD attributes = GetFileAttributesW(fromUtf8(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD why = GetLastError();
    if (why == ERROR_FILE_NOT_FOUND || why == ERROR_PATH_NOT_FOUND) return systemError(ENOENT);
    return Error{ErrorCode::Io, "The file could not be examined"};
  }
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return notOwn("it is a link to somewhere else");
  const int fd = openDescriptor(path, access);
  if (fd < 0) return openError(path, errno);
  if (const Status regular = regularOrClose(fd); !regular) {
    if (regular.error().code == ErrorCode::NotRegularFile) return notOwn("it is not a regular file");
    return regular.error();
  }
  return fd;
}

Result<int> createOwnDescriptor(const std::string& path) {
  const int fd = _wopen(fromUtf8(path).c_str(), _O_BINARY | _O_NOINHERIT | _O_RDWR | _O_CREAT | _O_EXCL,
                        _S_IREAD | _S_IWRITE);
  if (fd < 0) return systemError(errno);
  return fd;
}

Status renameFile(const std::string& from, const std::string& to) {
  if (MoveFileExW(fromUtf8(from).c_str(), fromUtf8(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return {};
  return Error{ErrorCode::Io, "The file could not be renamed"};
}

Status removeFileName(const std::string& path) {
  if (_wunlink(fromUtf8(path).c_str()) == 0 || errno == ENOENT) return {};
  return lastError();
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

  Result<FileIdentity> identity() override {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return lastError();
#if defined(__APPLE__)
    const auto& modified = st.st_mtimespec;
#else
    const auto& modified = st.st_mtim;
#endif
    return FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                        static_cast<std::uint64_t>(st.st_size),
                        static_cast<std::int64_t>(modified.tv_sec) * 1000000000 + modified.tv_nsec};
  }

  Status tryLock() override {
#ifdef F_OFD_SETLK
    // An open-file-description lock: held by this open file, not by the
    // process, so closing another descriptor of the same movie (the write
    // handle) does not drop it, and two opens in one process exclude each other.
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    if (::fcntl(fd_, F_OFD_SETLK, &whole) == 0) return {};
    if (errno == EAGAIN || errno == EACCES) return Error{ErrorCode::Busy, "Another program is writing to it"};
#else
    // flock locks belong to the open file too.
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return {};
    if (errno == EWOULDBLOCK) return Error{ErrorCode::Busy, "Another program is writing to it"};
#endif
    return lastError();
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

// Opens without blocking: a named pipe would otherwise wait here for a writer
// (or reader) that never comes. Whether the path is a regular file is checked
// next, and the flag cleared again.
int openDescriptor(const std::string& path, int access) {
  int fd;
  do fd = ::open(path.c_str(), O_CLOEXEC | O_NONBLOCK | access, 0666);
  while (fd < 0 && errno == EINTR);
  return fd;
}

// Why opening `path` failed with `errnum`. A socket, or a pipe opened for
// writing that has no reader, fails with a system text that says nothing to
// a user ("No such device or address"): it is reported as what it is.
Error openError(const std::string& path, int errnum) {
  struct stat st {};
  if ((errnum == ENXIO || errnum == EOPNOTSUPP) && ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
    return notRegular();
  return systemError(errnum);
}

constexpr int kReadOnly = O_RDONLY, kReadWrite = O_RDWR, kCreate = O_CREAT;

Status regularOrClose(int fd) {
  struct stat st {};
  const bool known = ::fstat(fd, &st) == 0;
  if (known && S_ISREG(st.st_mode)) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0) return {};
  }
  const Error why = !known || S_ISREG(st.st_mode) ? lastError()
                    : S_ISDIR(st.st_mode)           ? systemError(EISDIR)
                                                    : notRegular();
  ::close(fd);
  return why;
}

Status flushFolderOf(const std::string& folder) {
  int fd;
  do fd = ::open(folder.c_str(), O_RDONLY | O_CLOEXEC | O_DIRECTORY);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) return lastError();
  const int done = ::fsync(fd);
  const int errnum = errno;
  ::close(fd);
  // Some file systems cannot flush a folder at all; they keep names safe their own way.
  if (done == 0 || errnum == EINVAL || errnum == ENOTSUP) return {};
  return systemError(errnum);
}

Error notOwn(const std::string& why) { return {ErrorCode::NotOwnFile, why}; }

// Opens never through a symbolic link (O_NOFOLLOW) and without blocking on a
// pipe, then checks on the open file itself, so the checks and the reading
// concern the same file: regular, one name, the user's own, and writable by
// nobody else.
Result<int> openOwnDescriptor(const std::string& path, int access) {
  int fd;
  do fd = ::open(path.c_str(), O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | access);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    if (errno == ELOOP) return notOwn("it is a symbolic link");
    if (errno == ENXIO || errno == EOPNOTSUPP) return notOwn("it is not a regular file");
    return systemError(errno);
  }
  struct stat st {};
  std::string why;
  if (::fstat(fd, &st) != 0) why = std::strerror(errno);
  else if (!S_ISREG(st.st_mode)) why = "it is not a regular file";
  else if (st.st_uid != ::geteuid()) why = "it belongs to another user";
  else if (st.st_mode & (S_IWGRP | S_IWOTH)) why = "other users may write to it";
  else if (st.st_nlink > 1) why = "it has more than one name (a hard link)";
  if (why.empty()) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0) return fd;
    why = std::strerror(errno);
  }
  ::close(fd);
  return notOwn(why);
}

Result<int> createOwnDescriptor(const std::string& path) {
  int fd;
  do fd = ::open(path.c_str(), O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_RDWR | O_CREAT | O_EXCL, 0600);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) return systemError(errno);
  return fd;
}

Status renameFile(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) == 0) return {};
  return lastError();
}

Status removeFileName(const std::string& path) {
  if (::unlink(path.c_str()) == 0 || errno == ENOENT) return {};
  return lastError();
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
    auto file = openRegular(path, mode == OpenMode::ReadWrite ? kReadWrite : kReadOnly);
    if (!file) return file.error();
#if defined(POSIX_FADV_SEQUENTIAL) && !defined(_WIN32)
    // Movies are read front to back once; let the kernel read ahead generously.
    if (mode == OpenMode::Read) ::posix_fadvise(file->fd, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    return std::unique_ptr<OpenFile>(std::make_unique<SystemFile>(file->fd));
  }

  Result<std::unique_ptr<OpenFile>> openOrCreate(const std::string& path) override {
    auto file = openRegular(path, kReadWrite | kCreate);
    if (!file) return file.error();
    return std::unique_ptr<OpenFile>(std::make_unique<SystemFile>(file->fd));
  }

  Status flushFolder(const std::string& folder) override { return flushFolderOf(folder); }

  Status makeFolders(const std::string& folder) override {
    std::error_code ec;
    std::filesystem::create_directories(fromUtf8(folder), ec);
    if (ec) return systemError(ec.default_error_condition().value());
    return {};
  }

  Result<std::unique_ptr<OpenFile>> openOwn(const std::string& path, OpenMode mode) override {
    auto fd = openOwnDescriptor(path, mode == OpenMode::ReadWrite ? kReadWrite : kReadOnly);
    if (!fd) return fd.error();
    return std::unique_ptr<OpenFile>(std::make_unique<SystemFile>(*fd));
  }

  Result<std::unique_ptr<OpenFile>> createOwn(const std::string& path) override {
    auto fd = createOwnDescriptor(path);
    if (!fd) return fd.error();
    return std::unique_ptr<OpenFile>(std::make_unique<SystemFile>(*fd));
  }

 private:
  struct Descriptor {
    int fd;
  };
  static Result<Descriptor> openRegular(const std::string& path, int access) {
    const int fd = openDescriptor(path, access);
    if (fd < 0) return openError(path, errno);
    if (const Status regular = regularOrClose(fd); !regular) return regular.error();
    return Descriptor{fd};
  }
};

}  // namespace

FileLayer& systemFileLayer() {
  static SystemFileLayer layer;
  return layer;
}

Status FileLayer::renameOver(const std::string& from, const std::string& to) { return renameFile(from, to); }

Status FileLayer::removeName(const std::string& path) { return removeFileName(path); }


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

std::string userStateFolder() {
  const auto env = [](const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
  };
  const char sep = kPathSeparator;
#ifdef _WIN32
  const std::string base = env("LOCALAPPDATA");
  return base.empty() ? std::string() : base + sep + "orvane";
#else
  // A relative XDG_STATE_HOME is invalid and ignored, as the convention asks.
  if (const std::string state = env("XDG_STATE_HOME"); !state.empty() && state.front() == '/')
    return state + sep + "orvane";
  const std::string home = env("HOME");
  return home.empty() ? std::string() : home + sep + ".local" + sep + "state" + sep + "orvane";
#endif
}

void ignoreFileSizeLimitSignal() {
#ifdef SIGXFSZ
  std::signal(SIGXFSZ, SIG_IGN);
#endif
}

Result<void*> moduleSymbol(const std::string& path, const char* symbol) {
#ifdef _WIN32
  const HMODULE module = LoadLibraryW(fromUtf8(path).c_str());
  if (!module) return Error{ErrorCode::NotFound, "cannot load " + path};
  const FARPROC address = GetProcAddress(module, symbol);
  if (!address) return Error{ErrorCode::NotFound, path + " has no " + symbol};
  return reinterpret_cast<void*>(address);
#else
  void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    const char* why = ::dlerror();
    return Error{ErrorCode::NotFound, why ? why : "cannot load " + path};
  }
  void* address = ::dlsym(module, symbol);
  if (!address) return Error{ErrorCode::NotFound, path + " has no " + symbol};
  return address;
#endif
}

void adviseLargePages([[maybe_unused]] void* block, [[maybe_unused]] std::size_t bytes) {
#ifdef MADV_HUGEPAGE
  ::madvise(block, bytes, MADV_HUGEPAGE);  // only advice: a refusal changes nothing
#endif
}

unsigned processorsAvailable() {
#if defined(__linux__)
  cpu_set_t allowed;
  CPU_ZERO(&allowed);
  if (::sched_getaffinity(0, sizeof allowed, &allowed) == 0) return static_cast<unsigned>(std::max(1, CPU_COUNT(&allowed)));
#endif
  return std::max(1u, std::thread::hardware_concurrency());
}

unsigned processorsIdle() {
  const unsigned processors = processorsAvailable();
  unsigned running = 1;
#if defined(__linux__)
  // procs_running in /proc/stat counts the threads ready to run at that moment;
  // the least of three looks leaves out a passing kernel thread.
  unsigned least = ~0u;
  for (int look = 0; look < 3; ++look) {
    std::FILE* stat = std::fopen("/proc/stat", "re");
    if (!stat) break;
    char line[256];
    while (std::fgets(line, sizeof line, stat))
      if (unsigned n = 0; std::sscanf(line, "procs_running %u", &n) == 1) {
        least = std::min(least, n);
        break;
      }
    std::fclose(stat);
  }
  if (least != ~0u) running = std::max(1u, least);
#endif
  return processors > running ? processors - running : 0;
}

}  // namespace orvane
