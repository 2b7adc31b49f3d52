// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads a movie in page-aligned chunks of bounded size and searches each for
// preview records, handing the chunks back in file order.
//
// Chunk k holds the record positions [k * chunkBytes, (k + 1) * chunkBytes) and
// is read together with the 11828 bytes after them, so that every record
// starting in it lies wholly in its buffer: no chunk depends on another, and
// nothing is carried from one to the next.
//
// Where a processor the process may run on is idle, a helper thread reads and
// searches chunks ahead while the caller handles the ones before; the caller
// reads and searches too whenever the chunk it waits for is not yet taken.
// When the caller waits longer than kHelperStall for a chunk the helper holds,
// the other processor is busy with other work: the helper finishes that chunk
// and stops, and the caller reads the rest alone (taking turns on one
// processor costs more than it gives). The chunks, their hits and their order
// are the same either way. At most kSlotsWithHelper chunks are in memory at
// once.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <thread>
#include <vector>

#include "previews/movie_file.h"
#include "previews/record_format.h"
#include "previews/signature_search.h"
#include "shell/error.h"
#include "shell/large_block.h"

namespace orvane {

// Record positions per chunk: a chunk, the bytes after it and the search's
// reads stay within the processor's second-level cache.
inline constexpr std::size_t kDefaultChunkBytes = std::size_t{256} << 10;
// Bytes read past a chunk's positions: a record starting at its last position
// needs this many more.
inline constexpr std::size_t kCarryBytes = record::kRecordBytes - 1;  // 11828
inline constexpr std::size_t kSlotsWithHelper = 4;
// A chunk takes tens of microseconds to read and search from the page cache.
inline constexpr std::chrono::microseconds kHelperStall{2000};

struct ScanTuning {
  std::size_t chunkBytes = kDefaultChunkBytes;  // at least 1
  const SignatureKernel* kernel = nullptr;      // nullptr: the fastest here
  enum class Helper { Automatic, None, One } helper = Helper::Automatic;
};

// Bytes [offset, offset + size) of the movie, in memory at `data`. The first
// `testable` positions have all the bytes a record starting there would occupy
// in view; `hits` lists those of them where a record starts, in increasing
// order. The positions after them belong to the next view, or are too close to
// the end of the file for a record.
struct ChunkView {
  const std::uint8_t* data = nullptr;
  std::int64_t offset = 0;  // zero-based file offset of data[0]
  std::size_t size = 0;
  std::size_t testable = 0;
  std::span<const std::uint32_t> hits;
};

class ChunkedReader {
 public:
  // Reads `file` up to its measured length. `file` must stay open while the
  // reader lives.
  explicit ChunkedReader(MovieFile& file, const ScanTuning& tuning = {});
  // Stops the helper thread, wherever the walk stands.
  ~ChunkedReader();
  ChunkedReader(const ChunkedReader&) = delete;
  ChunkedReader& operator=(const ChunkedReader&) = delete;

  // The next chunk, in file order. None once the file is used up, after a
  // chunk that came back short (the file ended early), or when reading a chunk
  // failed or searching it ran out of memory (readOutcome() then says why;
  // that chunk is not handed out, and the failure comes out in its turn,
  // whichever thread met it). The helper thread has then stopped, and the file
  // is the caller's alone again. A view stays valid until the next call.
  std::optional<ChunkView> next();

  // How far the file was read in order: the end of the last chunk handed out.
  std::int64_t bytesRead() const { return readUpTo_; }
  // How the reading ended: fine, or the failure that ended the walk early.
  const Status& readOutcome() const { return readOutcome_; }

 private:
  // A chunk's buffer and what became of it. Who may touch it is said by
  // `state`, which changes only under mutex_: Free, nobody; Filling, the
  // thread that claimed the chunk; Ready, the caller of next(), until it asks
  // for the chunk after.
  struct Slot {
    enum class State { Free, Filling, Ready } state = State::Free;
    std::uint8_t* data = nullptr;  // page-aligned, chunkBytes + kCarryBytes
    std::size_t got = 0;           // bytes read into data
    std::size_t wanted = 0;
    std::vector<std::uint32_t> hits;
    Status outcome;  // reading or searching failed: nothing to hand out
  };

  Slot& slotOf(std::uint64_t chunk) { return slots_[chunk % slots_.size()]; }
  // Positions of a chunk whose record would lie wholly in `got` bytes read.
  std::size_t testableIn(std::size_t got) const {
    return got > kCarryBytes ? std::min(chunkBytes_, got - kCarryBytes) : 0;
  }
  // Under mutex_: true (and the chunk claimed) when the next unclaimed chunk
  // exists and its slot is free.
  bool claim(std::uint64_t& chunk);
  // Reads and searches a claimed chunk, outside the lock; then marks it Ready.
  void fill(std::uint64_t chunk, std::unique_lock<std::mutex>& lock);
  void helperLoop();
  void stopHelper();

  MovieFile& file_;
  std::size_t chunkBytes_;
  SignatureSearch search_;
  std::int64_t length_;
  std::uint64_t chunks_ = 0;  // chunks to hand out; lowered after a short read
  LargeBytes storage_;
  std::vector<Slot> slots_;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::uint64_t nextClaim_ = 0;  // under mutex_
  bool stop_ = false;            // under mutex_
  bool retired_ = false;         // under mutex_: the helper takes no more chunks

  // The caller's own.
  std::uint64_t nextChunk_ = 0;
  bool holding_ = false;  // the slot of chunk nextChunk_ - 1 is still the caller's
  std::int64_t readUpTo_ = 0;
  Status readOutcome_;

  std::thread helper_;  // last, so that it starts after everything it uses
};

}  // namespace orvane
