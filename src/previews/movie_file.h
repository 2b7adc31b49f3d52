#pragma once
// A movie opened read-only for one scan, read front to back.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "shell/file_layer.h"

namespace orvane {

class MovieFile {
 public:
  // Opens `path` for reading and measures it. Other readers may open the same
  // file meanwhile. On failure isOpen() is false and error() says why.
  explicit MovieFile(const std::string& path, FileLayer& files = systemFileLayer());

  bool isOpen() const { return file_ != nullptr; }
  // Length in bytes, taken once when the file was opened.
  std::int64_t length() const { return length_; }
  // The operating system's text for the last failure ("No such file or directory").
  const std::string& error() const { return error_; }

  // Reads the next `count` bytes into `into`. Returns the number read, fewer
  // only at the end of the file or after a read error (kept in error()).
  std::size_t read(std::uint8_t* into, std::size_t count);

  void close();

 private:
  std::unique_ptr<OpenFile> file_;
  std::int64_t length_ = 0;
  std::uint64_t position_ = 0;
  std::string error_;
};

}  // namespace orvane
