#pragma once
// A movie opened read-only for one scan. This is the only place that talks to
// the operating system's file calls (open, measure, read, close).
#include <cstddef>
#include <cstdint>
#include <string>

namespace orvane {

class MovieFile {
 public:
  // Opens `path` for reading and measures it. Other readers may open the same
  // file meanwhile. On failure isOpen() is false and error() says why.
  explicit MovieFile(const std::string& path);
  ~MovieFile();
  MovieFile(const MovieFile&) = delete;
  MovieFile& operator=(const MovieFile&) = delete;

  bool isOpen() const { return handle_ >= 0; }
  // Length in bytes, taken once when the file was opened.
  std::int64_t length() const { return length_; }
  // The operating system's text for the last failure ("No such file or directory").
  const std::string& error() const { return error_; }

  // Reads the next `count` bytes into `into`, going on after short reads until
  // `count` bytes are in or the file ends. Returns the number read; a read error
  // ends it early and is kept in error().
  std::size_t read(std::uint8_t* into, std::size_t count);

  void close();

 private:
  int handle_ = -1;
  std::int64_t length_ = 0;
  std::string error_;
};

}  // namespace orvane
