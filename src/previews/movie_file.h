#pragma once
// A movie opened read-only for one scan, read front to back.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "shell/error.h"
#include "shell/file_layer.h"

namespace orvane {

class MovieFile {
 public:
  // Opens `path` for reading and measures it; an error for anything that is
  // not a regular file. Other readers may open the same file meanwhile.
  Status open(const std::string& path, FileLayer& files = systemFileLayer());

  bool isOpen() const { return file_ != nullptr; }
  // Length in bytes, taken once when the file was opened.
  std::int64_t length() const { return length_; }
  // The file's identity when it was opened.
  const FileIdentity& identity() const { return identity_; }
  // The read error that ended reading early, if one did.
  const std::optional<Error>& readError() const { return readError_; }

  // Reads the next `count` bytes into `into`. Returns the number read, fewer
  // only at the end of the file or after a read error (kept in readError()).
  std::size_t read(std::uint8_t* into, std::size_t count);

  void close();

 private:
  std::unique_ptr<OpenFile> file_;
  std::int64_t length_ = 0;
  FileIdentity identity_{};
  std::uint64_t position_ = 0;
  std::optional<Error> readError_;
};

}  // namespace orvane
