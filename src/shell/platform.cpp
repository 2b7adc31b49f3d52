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
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <thread>

#include "shell/file_layer.h"

#if defined(_WIN32)
#include <map>
#include <mutex>
#include <utility>
#ifndef NOMINMAX
#define NOMINMAX  // keep std::min and std::max usable
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>  // first: the other Windows headers need its types

#include <fcntl.h>
#include <io.h>  // _isatty, _fileno, _wunlink, _wopen
#include <shellapi.h>
#include <sys/stat.h>
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

[[maybe_unused]] Error lastError() { return systemError(errno); }

Error notRegular() { return {ErrorCode::NotRegularFile, "Not a regular file"}; }

std::filesystem::path fromUtf8(const std::string& path) {
  return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

std::string toUtf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

#ifdef _WIN32
// Windows' own error numbers as the errors the rest of the program knows.
Error windowsError(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH: return systemError(ENOENT);
    case ERROR_ACCESS_DENIED: return systemError(EACCES);
    case ERROR_WRITE_PROTECT: return systemError(EROFS);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return systemError(ENOSPC);
    case ERROR_FILE_TOO_LARGE: return systemError(EFBIG);
    case ERROR_SHARING_VIOLATION: return {ErrorCode::Busy, kOpenForWritingElsewhere};
    case ERROR_LOCK_VIOLATION: return {ErrorCode::Busy, "Another program is writing to it"};
    default: return {ErrorCode::Io, "Windows error " + std::to_string(code)};
  }
}

Error lastWindowsError() { return windowsError(GetLastError()); }

// The files this process has open for writing, by identity, so that a second
// handle of its own to the same movie (the writer beside the lock holder) is
// not taken for another program's.
class WritersInProcess {
 public:
  static WritersInProcess& instance() {
    static WritersInProcess writers;
    return writers;
  }
  void add(const std::pair<std::uint64_t, std::uint64_t>& id) {
    std::lock_guard hold(mutex_);
    ++open_[id];
  }
  void remove(const std::pair<std::uint64_t, std::uint64_t>& id) {
    std::lock_guard hold(mutex_);
    if (auto it = open_.find(id); it != open_.end() && --it->second == 0) open_.erase(it);
  }
  bool holds(const std::pair<std::uint64_t, std::uint64_t>& id) {
    std::lock_guard hold(mutex_);
    return open_.contains(id);
  }

 private:
  std::mutex mutex_;
  std::map<std::pair<std::uint64_t, std::uint64_t>, int> open_;
};

std::uint64_t joinWords(DWORD high, DWORD low) { return (std::uint64_t{high} << 32) | low; }

// The volume and file number that name a file whatever path it was opened by.
bool volumeAndIndex(HANDLE h, std::pair<std::uint64_t, std::uint64_t>& id) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(h, &info)) return false;
  id = {info.dwVolumeSerialNumber, joinWords(info.nFileIndexHigh, info.nFileIndexLow)};
  return true;
}

// A handle of the wide Win32 API. Transfers are positioned through the
// OVERLAPPED offset (the handle itself is synchronous), in pieces small
// enough for the API's 32-bit counts.
class SystemFile final : public OpenFile {
 public:
  SystemFile(HANDLE h, bool writer) : h_(h) {
    if (writer && volumeAndIndex(h_, id_)) {
      registered_ = true;
      WritersInProcess::instance().add(id_);
    }
  }
  ~SystemFile() override { static_cast<void>(close()); }  // an error here has no one to go to

  Result<std::uint64_t> length() override {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(h_, &size)) return lastWindowsError();
    return static_cast<std::uint64_t>(size.QuadPart);
  }

  Result<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> out) override {
    std::size_t got = 0;
    while (got < out.size()) {
      OVERLAPPED at = overlappedAt(offset + got);
      const auto want = static_cast<DWORD>(std::min<std::size_t>(out.size() - got, kChunk));
      DWORD n = 0;
      if (!ReadFile(h_, out.data() + got, want, &n, &at)) {
        if (GetLastError() == ERROR_HANDLE_EOF) break;
        return lastWindowsError();
      }
      if (n == 0) break;
      got += n;
    }
    return got;
  }

  Result<std::size_t> writeAt(std::uint64_t offset, std::span<const std::uint8_t> data) override {
    // As on POSIX: one request, a short write is reported rather than retried.
    OVERLAPPED at = overlappedAt(offset);
    DWORD n = 0;
    if (!WriteFile(h_, data.data(), static_cast<DWORD>(std::min<std::size_t>(data.size(), kChunk)), &n, &at))
      return lastWindowsError();
    return static_cast<std::size_t>(n);
  }

  Status flush() override { return FlushFileBuffers(h_) ? Status{} : Status{lastWindowsError()}; }

  Result<FileIdentity> identity() override {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(h_, &info)) return Error{ErrorCode::Io, "The file's identity is unknown"};
    // 100-nanosecond ticks since 1601 to nanoseconds since 1970.
    constexpr std::int64_t kTicksTo1970 = 116444736000000000LL;
    const auto ticks =
        static_cast<std::int64_t>(joinWords(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime));
    return FileIdentity{info.dwVolumeSerialNumber, joinWords(info.nFileIndexHigh, info.nFileIndexLow),
                        joinWords(info.nFileSizeHigh, info.nFileSizeLow), (ticks - kTicksTo1970) * 100};
  }

  // A byte far beyond any movie's end is locked: Windows locks keep other
  // handles from reading and writing the bytes they cover, and the movie's
  // own bytes must stay readable.
  Status tryLock() override {
    OVERLAPPED at = overlappedAt(kLockOffset);
    if (LockFileEx(h_, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
      locked_ = true;
      return {};
    }
    if (GetLastError() == ERROR_LOCK_VIOLATION) return Error{ErrorCode::Busy, "Another program is writing to it"};
    return Error{ErrorCode::Io, "The file could not be locked"};
  }

  Status close() override {
    if (h_ == INVALID_HANDLE_VALUE) return {};
    if (locked_) {
      OVERLAPPED at = overlappedAt(kLockOffset);
      UnlockFileEx(h_, 0, 1, 0, &at);
      locked_ = false;
    }
    if (registered_) WritersInProcess::instance().remove(id_);
    registered_ = false;
    const HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;  // released even when closing reports an error
    return CloseHandle(h) ? Status{} : Status{lastWindowsError()};
  }

 private:
  static constexpr std::size_t kChunk = 1u << 30;
  static constexpr std::uint64_t kLockOffset = 0x7FFFFFFFFFFFFFFEull;
  static OVERLAPPED overlappedAt(std::uint64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
  }
  HANDLE h_;
  std::pair<std::uint64_t, std::uint64_t> id_{};
  bool registered_ = false;
  bool locked_ = false;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE createFile(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
  return CreateFileW(fromUtf8(path).c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Why opening `path` failed: a folder answers "access denied", and is told as
// what it is.
Error openFailure(const std::string& path) {
  const DWORD code = GetLastError();
  if (code == ERROR_ACCESS_DENIED) {
    const DWORD attributes = GetFileAttributesW(fromUtf8(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return systemError(EISDIR);
  }
  return windowsError(code);
}

// Opens a regular file. Readers share everything, so that a movie another
// program has open can still be read. A writer first asks for the file with
// other writers shut out: when that is refused and the writer holding it is
// not this process, another program (the movie application itself, say) has
// it open for writing and the write is refused. The handle kept shares
// writing again, for this process's own second handle.
Result<std::unique_ptr<OpenFile>> openWindowsFile(const std::string& path, bool write, bool create) {
  const DWORD access = write ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
  const DWORD disposition = create ? OPEN_ALWAYS : OPEN_EXISTING;
  bool othersWriting = false;
  if (write) {
    const HANDLE probe = createFile(path, access, FILE_SHARE_READ | FILE_SHARE_DELETE, disposition);
    if (probe != INVALID_HANDLE_VALUE)
      CloseHandle(probe);
    else if (GetLastError() == ERROR_SHARING_VIOLATION)
      othersWriting = true;
    else
      return openFailure(path);
  }
  const HANDLE h = createFile(path, access, kShareAll, disposition);
  if (h == INVALID_HANDLE_VALUE) return openFailure(path);
  const auto refuse = [h](Error why) -> Result<std::unique_ptr<OpenFile>> {
    CloseHandle(h);
    return why;
  };
  // Devices, pipes and consoles are no regular files.
  if (GetFileType(h) != FILE_TYPE_DISK) return refuse(notRegular());
  if (othersWriting) {
    std::pair<std::uint64_t, std::uint64_t> id;
    if (!volumeAndIndex(h, id) || !WritersInProcess::instance().holds(id))
      return refuse(windowsError(ERROR_SHARING_VIOLATION));
  }
  return std::unique_ptr<OpenFile>(std::make_unique<SystemFile>(h, write));
}

Status flushFolderOf(const std::string&) {
  // NTFS records new names in its own journal, and the renames Orvane makes
  // are written through.
  return {};
}

Error notOwn(const std::string& why) { return {ErrorCode::NotOwnFile, why}; }

// Windows keeps no owner and mode bits that the C runtime shows; what can be
// checked is that the name is no reparse point (a symbolic link or junction,
// which would lead elsewhere) and names a regular file.
Result<std::unique_ptr<OpenFile>> openOwnWindowsFile(const std::string& path, OpenMode mode) {
  const DWORD attributes = GetFileAttributesW(fromUtf8(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return openFailure(path);
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return notOwn("it is a link to somewhere else");
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return notOwn("it is not a regular file");
  auto file = openWindowsFile(path, mode == OpenMode::ReadWrite, false);
  if (!file && file.error().code == ErrorCode::NotRegularFile) return notOwn("it is not a regular file");
  return file;
}

// A new file of the user's own: never one that is already there.
Result<std::unique_ptr<OpenFile>> createOwnWindowsFile(const std::string& path) {
  const HANDLE h = createFile(path, GENERIC_READ | GENERIC_WRITE, kShareAll, CREATE_NEW);
  if (h == INVALID_HANDLE_VALUE) return openFailure(path);
  return std::unique_ptr<OpenFile>(std::make_unique<SystemFile>(h, true));
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
                    : S_ISDIR(st.st_mode)         ? systemError(EISDIR)
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
  if (::fstat(fd, &st) != 0)
    why = std::strerror(errno);
  else if (!S_ISREG(st.st_mode))
    why = "it is not a regular file";
  else if (st.st_uid != ::geteuid())
    why = "it belongs to another user";
  else if (st.st_mode & (S_IWGRP | S_IWOTH))
    why = "other users may write to it";
  else if (st.st_nlink > 1)
    why = "it has more than one name (a hard link)";
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
#ifdef _WIN32
    return openWindowsFile(path, mode == OpenMode::ReadWrite, false);
#else
    auto file = openRegular(path, mode == OpenMode::ReadWrite ? kReadWrite : kReadOnly);
    if (!file) return file.error();
#ifdef POSIX_FADV_SEQUENTIAL
    // Movies are read front to back once; let the kernel read ahead generously.
    if (mode == OpenMode::Read) ::posix_fadvise(file->fd, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    return std::unique_ptr<OpenFile>(std::make_unique<SystemFile>(file->fd));
#endif
  }

  Result<std::unique_ptr<OpenFile>> openOrCreate(const std::string& path) override {
#ifdef _WIN32
    return openWindowsFile(path, true, true);
#else
    auto file = openRegular(path, kReadWrite | kCreate);
    if (!file) return file.error();
    return std::unique_ptr<OpenFile>(std::make_unique<SystemFile>(file->fd));
#endif
  }

  Status flushFolder(const std::string& folder) override { return flushFolderOf(folder); }

  Status makeFolders(const std::string& folder) override {
    std::error_code ec;
    std::filesystem::create_directories(fromUtf8(folder), ec);
    if (ec) return systemError(ec.default_error_condition().value());
    return {};
  }

  Result<std::unique_ptr<OpenFile>> openOwn(const std::string& path, OpenMode mode) override {
#ifdef _WIN32
    return openOwnWindowsFile(path, mode);
#else
    auto fd = openOwnDescriptor(path, mode == OpenMode::ReadWrite ? kReadWrite : kReadOnly);
    if (!fd) return fd.error();
    return std::unique_ptr<OpenFile>(std::make_unique<SystemFile>(*fd));
#endif
  }

  Result<std::unique_ptr<OpenFile>> createOwn(const std::string& path) override {
#ifdef _WIN32
    return createOwnWindowsFile(path);
#else
    auto fd = createOwnDescriptor(path);
    if (!fd) return fd.error();
    return std::unique_ptr<OpenFile>(std::make_unique<SystemFile>(*fd));
#endif
  }

#ifndef _WIN32
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
#endif
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
  return toUtf8(exe.parent_path());
}

std::string userStateFolder() {
  const char sep = kPathSeparator;
#ifdef _WIN32
  // Read wide: a user name such as José would not survive the ANSI code page.
  const wchar_t* base = _wgetenv(L"LOCALAPPDATA");
  if (!base || !*base) return {};
  return toUtf8(std::filesystem::path(base)) + sep + "Orvane";
#else
  const auto env = [](const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
  };
  // A relative XDG_STATE_HOME is invalid and ignored, as the convention asks.
  if (const std::string state = env("XDG_STATE_HOME"); !state.empty() && state.front() == '/')
    return state + sep + "orvane";
  const std::string home = env("HOME");
  return home.empty() ? std::string() : home + sep + ".local" + sep + "state" + sep + "orvane";
#endif
}

std::string userConfigFolder() {
#ifdef _WIN32
  // Settings live beside the journals of movies in folders Orvane cannot write.
  return userStateFolder();
#else
  const auto env = [](const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
  };
  const char sep = kPathSeparator;
  if (const std::string config = env("XDG_CONFIG_HOME"); !config.empty() && config.front() == '/')
    return config + sep + "orvane";
  const std::string home = env("HOME");
  return home.empty() ? std::string() : home + sep + ".config" + sep + "orvane";
#endif
}

std::vector<std::string> programArguments(int argc, const char* const* argv) {
#ifdef _WIN32
  // The narrow argv has passed through the ANSI code page, which turns every
  // character outside it into '?': the wide command line has them all.
  int count = 0;
  if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
    std::vector<std::string> args;
    for (int i = 0; i < count; ++i) args.push_back(toUtf8(std::filesystem::path(wide[i])));
    LocalFree(wide);
    if (count == argc) return args;
  }
#endif
  return std::vector<std::string>(argv, argv + argc);
}

std::error_code moveOver(const std::filesystem::path& from, const std::filesystem::path& to) {
#ifdef _WIN32
  // Written through: the call returns once the new name is on the disk.
  if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return {};
  switch (GetLastError()) {
    case ERROR_ACCESS_DENIED: return std::make_error_code(std::errc::permission_denied);
    case ERROR_SHARING_VIOLATION: return std::make_error_code(std::errc::device_or_resource_busy);
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return std::make_error_code(std::errc::no_such_file_or_directory);
    case ERROR_DISK_FULL: return std::make_error_code(std::errc::no_space_on_device);
    default: return std::make_error_code(std::errc::io_error);
  }
#else
  std::error_code result;
  std::filesystem::rename(from, to, result);
  return result;
#endif
}

namespace {
std::error_code errnoCode() { return {errno, std::generic_category()}; }
}  // namespace

#if defined(_WIN32)

std::error_code writeNewFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes, bool& created) {
  const int fd = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
  if (fd < 0) return errnoCode();
  created = true;
  std::error_code result;
  for (std::size_t done = 0; done < bytes.size() && !result;) {
    const auto want = static_cast<unsigned>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    const int n = _write(fd, bytes.data() + done, want);
    if (n <= 0)
      result = n < 0 ? errnoCode() : std::make_error_code(std::errc::io_error);
    else
      done += static_cast<std::size_t>(n);
  }
  if (!result && _commit(fd) != 0) result = errnoCode();
  if (_close(fd) != 0 && !result) result = errnoCode();
  return result;
}

void syncFolder(const std::filesystem::path&) {}  // moveOver writes the rename through

Result<std::FILE*> openPictureFile(const std::string& path) {
  std::error_code ec;
  const auto status = std::filesystem::status(fromUtf8(path), ec);
  if (ec) return Error{ErrorCode::NotFound, ec.message()};
  if (std::filesystem::is_directory(status)) return Error{ErrorCode::IsDirectory, "it is a folder, not a picture file"};
  if (!std::filesystem::is_regular_file(status))
    return Error{ErrorCode::NotRegularFile, "it is a pipe or a device, not a picture file"};
  const HANDLE h = createFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
  if (h == INVALID_HANDLE_VALUE)
    return Error{ErrorCode::AccessDenied, std::system_category().message(static_cast<int>(GetLastError()))};
  LARGE_INTEGER size{};
  if (GetFileSizeEx(h, &size) && size.QuadPart == 0) {
    CloseHandle(h);
    return Error{ErrorCode::PictureEmpty, "the file is empty"};
  }
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDONLY | _O_BINARY);
  if (fd < 0) CloseHandle(h);
  std::FILE* stream = fd < 0 ? nullptr : _fdopen(fd, "rb");
  if (stream == nullptr) {
    if (fd >= 0) _close(fd);
    return Error{ErrorCode::Io, "it could not be opened"};
  }
  return stream;
}

#else

std::error_code writeNewFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes, bool& created) {
  int fd;
  do fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) return errnoCode();
  created = true;
  std::error_code result;
  for (std::size_t done = 0; done < bytes.size() && !result;) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      result = n < 0 ? errnoCode() : std::make_error_code(std::errc::io_error);
    else
      done += static_cast<std::size_t>(n);
  }
  if (!result && ::fsync(fd) != 0) result = errnoCode();
  if (::close(fd) != 0 && !result) result = errnoCode();
  return result;
}

void syncFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

Result<std::FILE*> openPictureFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return systemError(errno);
  struct stat st {};
  Error refused{ErrorCode::Io, {}};
  if (::fstat(fd, &st) != 0)
    refused = systemError(errno);
  else if (S_ISDIR(st.st_mode))
    refused = Error{ErrorCode::IsDirectory, "it is a folder, not a picture file"};
  else if (!S_ISREG(st.st_mode))
    refused = Error{ErrorCode::NotRegularFile, "it is a pipe or a device, not a picture file"};
  else if (st.st_size == 0)
    refused = Error{ErrorCode::PictureEmpty, "the file is empty"};
  else if (std::FILE* stream = ::fdopen(fd, "rb"))
    return stream;
  else
    refused = Error{ErrorCode::Io, "it could not be opened"};
  ::close(fd);
  return refused;
}

#endif

void ignoreFileSizeLimitSignal() {
#ifdef SIGXFSZ
  std::signal(SIGXFSZ, SIG_IGN);
#endif
}

void ignoreBrokenPipeSignal() {
#ifdef SIGPIPE
  std::signal(SIGPIPE, SIG_IGN);
#endif
}

void binaryStandardOutput() {
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);
#endif
}

bool standardOutputIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stdout)) != 0;
#else
  return ::isatty(STDOUT_FILENO) == 1;
#endif
}

bool standardInputIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stdin)) != 0;
#else
  return ::isatty(STDIN_FILENO) == 1;
#endif
}

void setEnvironmentIfUnset(const std::string& name, const std::string& value) {
  if (std::getenv(name.c_str())) return;
#ifdef _WIN32
  _putenv_s(name.c_str(), value.c_str());
#else
  ::setenv(name.c_str(), value.c_str(), 0);
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
  if (::sched_getaffinity(0, sizeof allowed, &allowed) == 0)
    return static_cast<unsigned>(std::max(1, CPU_COUNT(&allowed)));
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
