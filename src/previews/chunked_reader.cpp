#include "previews/chunked_reader.h"

#include <algorithm>
#include <cstring>

namespace orvane {

namespace {

// A read() into a destination that starts part-way into a memory page runs
// several times slower than one into a page-aligned destination. 16 KiB covers
// the page sizes in use.
constexpr std::size_t kPageAlign = 16384;
// Room for the carry in front of the read destination, whole pages so that the
// destination stays aligned.
constexpr std::size_t kCarryRoom = (kCarryBytes + kPageAlign - 1) / kPageAlign * kPageAlign;

}  // namespace

ChunkedReader::ChunkedReader(MovieFile& file, std::size_t chunkBytes)
    : file_(file), chunkBytes_(std::max<std::size_t>(chunkBytes, 1)) {
  // Uninitialised on purpose: every byte looked at is read from the file first.
  storage_ = std::make_unique_for_overwrite<std::uint8_t[]>(kPageAlign + kCarryRoom + chunkBytes_);
  const auto base = reinterpret_cast<std::uintptr_t>(storage_.get());
  const std::uintptr_t aligned = (base + kPageAlign - 1) / kPageAlign * kPageAlign;
  target_ = storage_.get() + (aligned - base) + kCarryRoom;
}

bool ChunkedReader::next(ChunkView& view) {
  if (done_) return false;
  // The untested tail of the previous view goes just in front of the read
  // destination, so that it and the new chunk form one run of bytes.
  if (kept_ > 0) std::memmove(target_ - kept_, tail_, kept_);

  // Never read past the length measured when the file was opened, so that the
  // positions walked are those of that length even if the file grows meanwhile.
  const std::int64_t left = file_.length() - read_;
  const auto wanted =
      static_cast<std::size_t>(std::min<std::int64_t>(left, static_cast<std::int64_t>(chunkBytes_)));
  const std::size_t got = wanted == 0 ? 0 : file_.read(target_, wanted);
  if (got < wanted || static_cast<std::int64_t>(got) == left) done_ = true;  // the end, reached or come early, or a read error
  if (got == 0) return false;

  view.data = target_ - kept_;
  view.offset = read_ - static_cast<std::int64_t>(kept_);
  view.size = kept_ + got;
  view.testable = view.size > kCarryBytes ? view.size - kCarryBytes : 0;
  read_ += static_cast<std::int64_t>(got);

  tail_ = view.data + view.testable;
  kept_ = view.size - view.testable;
  return true;
}

}  // namespace orvane
