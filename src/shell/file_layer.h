#pragma once
// What the BMP loader and the scene writer need of the file system, behind
// an interface so that tests can make any single step fail: open an existing
// file (never creating or truncating it), read and write at a byte offset,
// flush to stable storage, close, and test whether a file exists.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <system_error>

namespace orvane {

// An open file. Every operation reports failure through its error_code (empty
// on success); the destructor closes a file that was not closed explicitly and
// drops any error from doing so.
class OpenFile {
 public:
  virtual ~OpenFile() = default;

  // Length of the file in bytes.
  virtual std::error_code length(std::uint64_t& bytes) = 0;
  // Reads up to out.size() bytes at `offset` into out; `got` is the number
  // read, less than asked only at the end of the file.
  virtual std::error_code readAt(std::uint64_t offset, std::span<std::uint8_t> out, std::size_t& got) = 0;
  // Writes data at `offset`; `put` is the number of bytes written before the
  // write stopped, which may be less than data.size() with or without an error.
  virtual std::error_code writeAt(std::uint64_t offset, std::span<const std::uint8_t> data, std::size_t& put) = 0;
  // Pushes everything written so far to stable storage.
  virtual std::error_code flush() = 0;
  // Closes the file; a second call does nothing.
  virtual std::error_code close() = 0;
};

enum class OpenMode { Read, ReadWrite };

class FileLayer {
 public:
  virtual ~FileLayer() = default;

  // True when a file (not a folder) is at `path`.
  virtual bool exists(const std::string& path) = 0;
  // Opens an existing file. Neither mode creates a missing file or truncates an
  // existing one. On failure `file` stays empty.
  virtual std::error_code open(const std::string& path, OpenMode mode, std::unique_ptr<OpenFile>& file) = 0;
};

// The operating system's files, implemented in platform.cpp beside the other
// system calls. Paths are UTF-8.
FileLayer& systemFileLayer();

}  // namespace orvane
