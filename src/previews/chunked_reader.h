#pragma once
// Streams a movie through one bounded buffer: page-aligned chunks, each placed
// behind the tail of the chunk before, so that every record lies wholly in one
// view however the chunks fall.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "previews/movie_file.h"
#include "previews/record_format.h"

namespace orvane {

// About 1 MiB per read: large enough for the system to stream at full speed,
// small enough to keep the scan's memory bounded whatever the movie's length.
inline constexpr std::size_t kDefaultChunkBytes = std::size_t{1} << 20;
// Bytes kept from one view to the next: a record starting at the first
// position not yet tested needs this many more bytes after it.
inline constexpr std::size_t kCarryBytes = record::kRecordBytes - 1;  // 11828

// Bytes [offset, offset + size) of the movie, in memory at `data`. The first
// `testable` positions have all the bytes a record starting there would occupy
// in view; the positions after them come again at the front of the next view.
// Positions left over when the file ends are too close to its end for a record.
struct ChunkView {
  const std::uint8_t* data = nullptr;
  std::int64_t offset = 0;  // zero-based file offset of data[0]
  std::size_t size = 0;
  std::size_t testable = 0;
};

class ChunkedReader {
 public:
  // Reads `file` (up to its measured length) `chunkBytes` at a time (at least 1).
  explicit ChunkedReader(MovieFile& file, std::size_t chunkBytes = kDefaultChunkBytes);

  // Reads the next chunk behind the carried-over tail. False once the file is
  // used up or a read failed (file.error() then says why). A view stays valid
  // until the next call.
  bool next(ChunkView& view);

  // Bytes read from the file so far.
  std::int64_t bytesRead() const { return read_; }

 private:
  MovieFile& file_;
  std::size_t chunkBytes_;
  std::unique_ptr<std::uint8_t[]> storage_;
  std::uint8_t* target_ = nullptr;  // page-aligned read destination; the carry lies just before it
  const std::uint8_t* tail_ = nullptr;  // untested tail of the previous view
  std::size_t kept_ = 0;                // its length, carried in front of target_
  std::int64_t read_ = 0;
  bool done_ = false;
};

}  // namespace orvane
