#include "previews/chunked_reader.h"

namespace orvane {

namespace {

// A read() into a destination that starts part-way into a memory page runs
// several times slower than one into a page-aligned destination. 16 KiB covers
// the page sizes in use.
constexpr std::size_t kPageAlign = 16384;

}  // namespace

ChunkedReader::ChunkedReader(MovieFile& file, const ScanTuning& tuning)
    : file_(file),
      chunkBytes_(std::max<std::size_t>(tuning.chunkBytes, 1)),
      search_(tuning.kernel ? tuning.kernel->search : fastestSignatureKernel().search),
      length_(file.length()) {
  // Chunks that hold at least one position a record could start at, and
  // always one for a file that is not empty, so that all of it is read.
  const auto length = static_cast<std::uint64_t>(std::max<std::int64_t>(length_, 0));
  const std::uint64_t positions = length > kCarryBytes ? length - kCarryBytes : (length > 0 ? 1 : 0);
  chunks_ = (positions + chunkBytes_ - 1) / chunkBytes_;

  // Uninitialised on purpose: every byte looked at is read from the file first.
  storage_ = std::make_unique_for_overwrite<std::uint8_t[]>(kPageAlign + chunkBytes_ + kCarryBytes);
  const auto base = reinterpret_cast<std::uintptr_t>(storage_.get());
  data_ = storage_.get() + ((base + kPageAlign - 1) / kPageAlign * kPageAlign - base);
}

bool ChunkedReader::next(ChunkView& view) {
  if (nextChunk_ >= chunks_) return false;
  const auto offset = static_cast<std::int64_t>(nextChunk_ * chunkBytes_);
  const auto wanted = static_cast<std::size_t>(
      std::min<std::int64_t>(length_ - offset, static_cast<std::int64_t>(chunkBytes_ + kCarryBytes)));
  const auto got = file_.readAt(offset, data_, wanted);
  if (!got) {
    readError_ = got.error();
    chunks_ = nextChunk_;
    return false;
  }
  // A short read: the file ended early (it shrank). Nothing after it is read.
  chunks_ = *got < wanted ? nextChunk_ + 1 : chunks_;
  ++nextChunk_;

  hits_.clear();
  search_(data_, testableIn(*got), hits_);
  readUpTo_ = offset + static_cast<std::int64_t>(*got);
  view.data = data_;
  view.offset = offset;
  view.size = *got;
  view.testable = testableIn(*got);
  view.hits = hits_;
  return true;
}

}  // namespace orvane
