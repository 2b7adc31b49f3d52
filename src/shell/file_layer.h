// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the logic needs of the file system, behind an interface so that tests
// can make any single step fail: open an existing file (never creating or
// truncating it) or create a missing one, read and write at a byte offset,
// flush a file or a folder to stable storage, tell a file's identity, take a
// file's writer's lock, close, and test whether a file exists.
//
// Only regular files open: a pipe, socket or device is refused at once
// (NotRegularFile), without waiting for the other end of a pipe.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "shell/error.h"
#include "shell/file_identity.h"

namespace orvane {

// An open file. The destructor closes a file that was not closed explicitly
// and drops any error from doing so.
class OpenFile {
 public:
  virtual ~OpenFile() = default;

  // Length of the file in bytes; an error for anything but a regular file.
  virtual Result<std::uint64_t> length() = 0;
  // Reads up to out.size() bytes at `offset` into out and returns how many,
  // fewer than asked only at the end of the file.
  virtual Result<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> out) = 0;
  // Writes data at `offset` in one request and returns how many bytes the
  // system took, which may be fewer than data.size() (a full disk or a
  // file-size limit). After an error, how much of the block reached the file
  // is not known.
  virtual Result<std::size_t> writeAt(std::uint64_t offset, std::span<const std::uint8_t> data) = 0;
  // Pushes everything written so far to stable storage.
  virtual Status flush() = 0;
  // The file's device, number, length and modification time as they are now.
  virtual Result<FileIdentity> identity() = 0;
  // Takes the exclusive writer's lock on the file without waiting: Busy when
  // another open file (in this process or another) holds it. The lock is
  // advisory (it stops other writers that ask for it, not readers) and ends
  // when this file is closed. Needs a file opened for writing.
  virtual Status tryLock() = 0;
  // Closes the file; a second call does nothing.
  virtual Status close() = 0;
};

enum class OpenMode { Read, ReadWrite };

// The message of the Busy error of an open for writing that the system
// refuses because another program has the file open for writing (Windows).
inline constexpr const char* kOpenForWritingElsewhere = "Another program has it open for writing";

class FileLayer {
 public:
  virtual ~FileLayer() = default;

  // True when a file (not a folder) is at `path`.
  virtual bool exists(const std::string& path) = 0;
  // Opens an existing file. Neither mode creates a missing file or truncates an
  // existing one.
  virtual Result<std::unique_ptr<OpenFile>> open(const std::string& path, OpenMode mode) = 0;
  // Opens a file for reading and writing, creating it empty when it is missing;
  // an existing file is never truncated.
  virtual Result<std::unique_ptr<OpenFile>> openOrCreate(const std::string& path) = 0;
  // Pushes the folder's list of names to stable storage, so that a file just
  // created in it survives a power cut.
  virtual Status flushFolder(const std::string& folder) = 0;
  // Creates a folder and the folders above it that are missing.
  virtual Status makeFolders(const std::string& folder) = 0;

  // Files Orvane keeps for the user (a movie's journal), which must be the
  // user's own and nobody else's to change.
  //
  // Opens an existing one. Refused (NotOwnFile, the message saying why) when
  // the name is a symbolic link, dangling or not, when it is not a regular
  // file, has more than one name, belongs to another user or may be written
  // by others; NotFound when nothing is there. On Windows, which has no owner
  // and mode bits here, a regular file that is not a reparse point (a link or
  // junction) passes.
  virtual Result<std::unique_ptr<OpenFile>> openOwn(const std::string& path, OpenMode mode) { return open(path, mode); }
  // Creates a new one, readable and writable by the user alone (0600), for
  // reading and writing; fails when anything at all is at the name, a link
  // included, so nothing is ever created through a link.
  virtual Result<std::unique_ptr<OpenFile>> createOwn(const std::string& path) { return openOrCreate(path); }
  // Renames `from` over `to` in one step: whoever opens `to` finds the old
  // file or the new one, never neither.
  virtual Status renameOver(const std::string& from, const std::string& to);
  // Removes the name `path` (a link itself, never what it leads to).
  virtual Status removeName(const std::string& path);
};

// The operating system's files, implemented in platform.cpp beside the other
// system calls. Paths are UTF-8.
FileLayer& systemFileLayer();

}  // namespace orvane
