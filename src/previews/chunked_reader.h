#pragma once
// Reads a movie in page-aligned chunks of bounded size and searches each for
// preview records as soon as it is read, handing the chunks back in file order.
//
// Chunk k holds the record positions [k * chunkBytes, (k + 1) * chunkBytes) and
// is read together with the 11828 bytes after them, so that every record
// starting in it lies wholly in the buffer: nothing is carried from one chunk
// to the next, and the search runs over bytes the read has just left in the
// processor's cache.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "previews/movie_file.h"
#include "previews/record_format.h"
#include "previews/signature_search.h"
#include "shell/error.h"

namespace orvane {

// Record positions per chunk: the chunk, the bytes after it and the search's
// reads stay within the processor's second-level cache.
inline constexpr std::size_t kDefaultChunkBytes = std::size_t{256} << 10;
// Bytes read past a chunk's positions: a record starting at its last position
// needs this many more.
inline constexpr std::size_t kCarryBytes = record::kRecordBytes - 1;  // 11828

struct ScanTuning {
  std::size_t chunkBytes = kDefaultChunkBytes;  // at least 1
  const SignatureKernel* kernel = nullptr;      // nullptr: the fastest here
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

  // The next chunk, in file order. False once the file is used up, after a
  // chunk that came back short (the file ended early), or when reading a chunk
  // failed (readError() then says why; that chunk is not handed out). A view
  // stays valid until the next call.
  bool next(ChunkView& view);

  // How far the file was read in order: the end of the last chunk handed out.
  std::int64_t bytesRead() const { return readUpTo_; }
  // The read that ended the walk early, if one did.
  const std::optional<Error>& readError() const { return readError_; }

 private:
  // Positions of a chunk whose record would lie wholly in `got` bytes read.
  std::size_t testableIn(std::size_t got) const {
    return got > kCarryBytes ? std::min(chunkBytes_, got - kCarryBytes) : 0;
  }

  MovieFile& file_;
  std::size_t chunkBytes_;
  SignatureSearch search_;
  std::int64_t length_;
  std::uint64_t chunks_ = 0;  // chunks to hand out; lowered when the file ends early
  std::uint64_t nextChunk_ = 0;
  std::unique_ptr<std::uint8_t[]> storage_;
  std::uint8_t* data_ = nullptr;  // page-aligned, chunkBytes + kCarryBytes
  std::vector<std::uint32_t> hits_;
  std::int64_t readUpTo_ = 0;
  std::optional<Error> readError_;
};

}  // namespace orvane
