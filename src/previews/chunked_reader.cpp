// SPDX-License-Identifier: GPL-3.0-or-later
#include "previews/chunked_reader.h"

#include <algorithm>
#include <cerrno>
#include <new>
#include <system_error>

#include "shell/platform.h"

namespace orvane {

namespace {

// A read() into a destination that starts part-way into a memory page runs
// several times slower than one into a page-aligned destination. 16 KiB covers
// the page sizes in use.
constexpr std::size_t kPageAlign = 16384;

std::size_t roundUpToPages(std::size_t bytes) { return (bytes + kPageAlign - 1) / kPageAlign * kPageAlign; }

// Whether a processor this thread may run on is idle: a helper thread only
// pays where it runs beside the caller, not in turns with it or with other
// work.
bool processorToSpare() { return processorsIdle() >= 1; }

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

  const bool helper = tuning.helper == ScanTuning::Helper::One ||
                      (tuning.helper == ScanTuning::Helper::Automatic && chunks_ > 1 && processorToSpare());
  slots_.resize(helper ? kSlotsWithHelper : 1);
  // Uninitialised on purpose (every byte looked at is read from the file
  // first), and in large pages, so that first touching the slots costs a fault
  // or two rather than hundreds.
  const std::size_t slotBytes = roundUpToPages(chunkBytes_ + kCarryBytes);
  storage_ = largeBytes(slots_.size() * slotBytes);
  for (std::size_t k = 0; k < slots_.size(); ++k) slots_[k].data = storage_.get() + k * slotBytes;

  if (!helper) return;
  try {
    helper_ = std::thread([this] { helperLoop(); });
  } catch (const std::system_error&) {
    // No thread to be had: the caller reads every chunk itself.
  }
}

ChunkedReader::~ChunkedReader() { stopHelper(); }

void ChunkedReader::stopHelper() {
  if (!helper_.joinable()) return;
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  helper_.join();
}

bool ChunkedReader::claim(std::uint64_t& chunk) {
  if (nextClaim_ >= chunks_ || slotOf(nextClaim_).state != Slot::State::Free) return false;
  chunk = nextClaim_++;
  slotOf(chunk).state = Slot::State::Filling;
  return true;
}

void ChunkedReader::fill(std::uint64_t chunk, std::unique_lock<std::mutex>& lock) {
  Slot& slot = slotOf(chunk);
  lock.unlock();
  const auto offset = static_cast<std::int64_t>(chunk * chunkBytes_);
  slot.wanted = static_cast<std::size_t>(
      std::min<std::int64_t>(length_ - offset, static_cast<std::int64_t>(chunkBytes_ + kCarryBytes)));
  slot.got = 0;
  slot.outcome = {};
  slot.hits.clear();
  if (auto got = file_.readAt(offset, slot.data, slot.wanted))
    slot.got = *got;
  else
    slot.outcome = got.error();
  try {
    search_(slot.data, testableIn(slot.got), slot.hits);
  } catch (const std::bad_alloc&) {  // the hits' vector could not grow
    slot.outcome = systemError(ENOMEM);
  }
  lock.lock();
  slot.state = Slot::State::Ready;
  // Nothing after a short or failed read is handed out: stop claiming.
  if (slot.got < slot.wanted || !slot.outcome) chunks_ = std::min(chunks_, chunk + 1);
  changed_.notify_all();
}

void ChunkedReader::helperLoop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    std::uint64_t chunk = 0;
    bool claimed = false;
    changed_.wait(lock, [&] {
      const bool done = stop_ || retired_;
      claimed = !done && claim(chunk);
      return claimed || done || nextClaim_ >= chunks_;
    });
    if (!claimed) return;
    fill(chunk, lock);
  }
}

std::optional<ChunkView> ChunkedReader::next() {
  std::unique_lock lock(mutex_);
  if (holding_) {
    Slot& previous = slotOf(nextChunk_ - 1);
    previous.state = Slot::State::Free;
    holding_ = false;
    changed_.notify_all();
  }
  if (nextChunk_ >= chunks_) {
    lock.unlock();
    stopHelper();  // it may still be reading a chunk past a short read
    return std::nullopt;
  }

  // Wait for the chunk, reading and searching later ones (or this one) while
  // it is not there yet and there is room.
  const std::uint64_t chunk = nextChunk_;
  Slot& slot = slotOf(chunk);
  while (slot.state != Slot::State::Ready) {
    std::uint64_t other = 0;
    if (claim(other)) {
      fill(other, lock);
    } else if (changed_.wait_for(lock, kHelperStall) == std::cv_status::timeout && !retired_ &&
               slot.state == Slot::State::Filling) {
      // The helper holds the chunk and is not running: it finishes that one
      // and takes no more.
      retired_ = true;
      changed_.notify_all();
    }
  }
  holding_ = true;
  ++nextChunk_;
  lock.unlock();

  if (!slot.outcome) {
    readOutcome_ = slot.outcome;
    stopHelper();
    return std::nullopt;
  }
  const auto offset = static_cast<std::int64_t>(chunk * chunkBytes_);
  readUpTo_ = offset + static_cast<std::int64_t>(slot.got);
  ChunkView view;
  view.data = slot.data;
  view.offset = offset;
  view.size = slot.got;
  view.testable = testableIn(slot.got);
  view.hits = slot.hits;
  return view;
}

}  // namespace orvane
