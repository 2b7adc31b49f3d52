// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A movie opened read-only for one scan.
#include <cstddef>
#include <cstdint>
#include <memory>
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

  // Reads up to `count` bytes at `offset` into `into` and returns how many,
  // fewer than asked only at the end of the file. Two threads may read at
  // once: each read names its own offset and nothing else changes.
  Result<std::size_t> readAt(std::int64_t offset, std::uint8_t* into, std::size_t count);

  void close();

 private:
  std::unique_ptr<OpenFile> file_;
  std::int64_t length_ = 0;
  FileIdentity identity_{};
};

}  // namespace orvane
