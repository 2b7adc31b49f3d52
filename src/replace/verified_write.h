#pragma once
// Writing a block into the movie so that it is known to be there: one write,
// a flush to stable storage, and a read back; and putting earlier bytes back
// after a write that failed.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "shell/error.h"
#include "shell/file_layer.h"

namespace orvane {

// Writes `bytes` at `offset` as one block, flushes it to stable storage and
// reads it back. `touched` is set to how many leading bytes of the block may
// have changed in the file; `previous` (the bytes the block replaces, or
// empty when they need not be told apart) lets a failed write find that out.
Status writeVerified(OpenFile& file, std::uint64_t offset, std::span<const std::uint8_t> bytes,
                     std::span<const std::uint8_t> previous, std::size_t& touched);

// A stretch of the movie a failed write may have reached, and what it held before.
struct Region {
  std::uint64_t offset = 0;
  std::span<const std::uint8_t> previous;
};

// Puts each region's previous bytes back (verified), reopening the movie first
// when `closed` (the failure was in closing it), and closes it. Only the bytes
// a failed write may have reached are written back, so a limit that stopped
// the write cannot stop the repair too. The error says what went wrong.
Status putBack(FileLayer& files, std::unique_ptr<OpenFile>& file, bool closed, const std::string& path,
               std::span<const Region> regions);

}  // namespace orvane
