#include "previews/movie_file.h"

#include <span>

namespace orvane {

MovieFile::MovieFile(const std::string& path, FileLayer& files) {
  std::unique_ptr<OpenFile> file;
  if (const auto ec = files.open(path, OpenMode::Read, file)) {
    error_ = ec.message();
    return;
  }
  std::uint64_t length = 0;
  if (const auto ec = file->length(length)) {
    error_ = ec == std::errc::invalid_seek ? "Not a regular file" : ec.message();
    return;
  }
  file_ = std::move(file);
  length_ = static_cast<std::int64_t>(length);
}

std::size_t MovieFile::read(std::uint8_t* into, std::size_t count) {
  if (!isOpen()) return 0;
  std::size_t got = 0;
  if (const auto ec = file_->readAt(position_, std::span(into, count), got)) error_ = ec.message();
  position_ += got;
  return got;
}

void MovieFile::close() {
  if (file_) file_->close();
  file_.reset();
}

}  // namespace orvane
