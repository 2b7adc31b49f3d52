// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing blocks into the movie so that they are known to be there: each block
// in one write, then one flush to stable storage for all of them, then each
// read back; and putting earlier bytes back after a write that failed.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "shell/error.h"
#include "shell/file_layer.h"

namespace orvane {

// A block to write: its bytes at `offset`, and the bytes it replaces
// (`previous`, or empty when they need not be told apart) so that a failed
// write can find out how far it got.
struct Block {
  std::uint64_t offset = 0;
  std::span<const std::uint8_t> bytes;
  std::span<const std::uint8_t> previous;
};

// What writing blocks came to: whether it succeeded, and for each block how
// many of its leading bytes may have changed in the file (0 for the blocks
// never reached), which a failed write needs to put them back.
struct BlocksWritten {
  Status status;
  std::vector<std::size_t> touched;
};

// Writes every block, in order, each as one request; then flushes the file
// once and reads every block back. Stops at the first failure. One block
// costs exactly one write, one flush and one read.
BlocksWritten writeBlocksVerified(OpenFile& file, std::span<const Block> blocks);

// A stretch of the movie a failed write may have reached, and what it held before.
struct Region {
  std::uint64_t offset = 0;
  std::span<const std::uint8_t> previous;
};

// Puts each region's previous bytes back (verified, with one flush), reopening
// the movie first when `closed` (the failure was in closing it), and closes
// it. Only the bytes a failed write may have reached are written back, so a
// limit that stopped the write cannot stop the repair too. The error says
// what went wrong.
Status putBack(FileLayer& files, std::unique_ptr<OpenFile>& file, bool closed, const std::string& path,
               std::span<const Region> regions);

}  // namespace orvane
