// SPDX-License-Identifier: GPL-3.0-or-later
#include "replace/verified_write.h"

#include <algorithm>

namespace orvane {
namespace {

// After a write that failed with an error, how far the block may have reached
// is not known: the bytes are read back, and the part up to the last one that
// no longer holds its `previous` value is what needs putting back. When even
// that read fails, all of it does.
std::size_t changedPrefix(OpenFile& file, std::uint64_t offset, std::span<const std::uint8_t> previous) {
  std::vector<std::uint8_t> now(previous.size());
  const auto got = file.readAt(offset, now);
  if (!got || *got != now.size()) return previous.size();
  const auto last = std::mismatch(now.rbegin(), now.rend(), previous.rbegin()).first;
  return static_cast<std::size_t>(now.rend() - last);
}

}  // namespace

BlocksWritten writeBlocksVerified(OpenFile& file, std::span<const Block> blocks) {
  std::vector<std::size_t> touched(blocks.size(), 0);
  const auto failed = [&touched](const std::string& text) {
    return BlocksWritten{Error{ErrorCode::WriteFailed, text}, std::move(touched)};
  };
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    const Block& b = blocks[i];
    touched[i] = b.bytes.size();
    const auto put = file.writeAt(b.offset, b.bytes);
    if (!put) {
      if (!b.previous.empty()) touched[i] = changedPrefix(file, b.offset, b.previous);
      return failed("Writing to the movie failed (" + put.error().message + ").");
    }
    if (*put < b.bytes.size()) {
      touched[i] = *put;  // the rest of the block was never reached
      return failed("Only " + std::to_string(*put) + " of " + std::to_string(b.bytes.size()) +
                    " bytes could be written to the movie.");
    }
  }
  if (const auto flushed = file.flush(); !flushed)
    return failed("Saving the movie to disk failed (" + flushed.error().message + ").");

  std::vector<std::uint8_t> back;
  for (const Block& b : blocks) {
    back.resize(b.bytes.size());
    const auto got = file.readAt(b.offset, back);
    if (!got) return failed("Reading the written bytes back failed (" + got.error().message + ").");
    if (*got != back.size() || !std::equal(back.begin(), back.end(), b.bytes.begin()))
      return failed("The bytes read back from the movie differ from the bytes written.");
  }
  return {Status{}, std::move(touched)};
}

Status putBack(FileLayer& files, std::unique_ptr<OpenFile>& file, bool closed, const std::string& path,
               std::span<const Region> regions) {
  if (closed) {
    auto reopened = files.open(path, OpenMode::ReadWrite);
    if (!reopened)
      return Error{ErrorCode::WriteFailed, "the movie could not be opened again (" + reopened.error().message + ")"};
    file = std::move(*reopened);
  }
  std::vector<Block> blocks;
  for (const Region& region : regions)
    if (!region.previous.empty()) blocks.push_back({region.offset, region.previous, {}});
  std::string problem;
  if (!blocks.empty())
    if (const Status rewritten = writeBlocksVerified(*file, blocks).status; !rewritten)
      problem = rewritten.error().message;
  if (const auto closing = file->close(); problem.empty() && !closing)
    problem = "closing the movie failed (" + closing.error().message + ")";
  if (!problem.empty()) return Error{ErrorCode::WriteFailed, problem};
  return {};
}

}  // namespace orvane
