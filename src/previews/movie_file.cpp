#include "previews/movie_file.h"

#include <span>

namespace orvane {

Status MovieFile::open(const std::string& path, FileLayer& files) {
  auto file = files.open(path, OpenMode::Read);
  if (!file) return file.error();
  const auto length = (*file)->length();
  if (!length) return length.error();
  file_ = std::move(*file);
  length_ = static_cast<std::int64_t>(*length);
  return {};
}

std::size_t MovieFile::read(std::uint8_t* into, std::size_t count) {
  if (!isOpen()) return 0;
  const auto got = file_->readAt(position_, std::span(into, count));
  if (!got) {
    readError_ = got.error();
    return 0;
  }
  position_ += *got;
  return *got;
}

void MovieFile::close() {
  if (file_) static_cast<void>(file_->close());  // read-only: nothing is lost if closing fails
  file_.reset();
}

}  // namespace orvane
