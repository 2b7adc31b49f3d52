// SPDX-License-Identifier: GPL-3.0-or-later
#include "previews/movie_file.h"

#include <span>

namespace orvane {

Status MovieFile::open(const std::string& path, FileLayer& files) {
  auto file = files.open(path, OpenMode::Read);
  if (!file) return file.error();
  const auto length = (*file)->length();
  if (!length) return length.error();
  const auto identity = (*file)->identity();
  if (!identity) return identity.error();
  identity_ = *identity;
  file_ = std::move(*file);
  length_ = static_cast<std::int64_t>(*length);
  return {};
}

Result<std::size_t> MovieFile::readAt(std::int64_t offset, std::uint8_t* into, std::size_t count) {
  if (!isOpen() || offset < 0) return std::size_t{0};
  return file_->readAt(static_cast<std::uint64_t>(offset), std::span(into, count));
}

void MovieFile::close() {
  if (file_) static_cast<void>(file_->close());  // read-only: nothing is lost if closing fails
  file_.reset();
}

}  // namespace orvane
