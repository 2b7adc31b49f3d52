#include "replace/scene_writer.h"

#include <algorithm>
#include <memory>
#include <string>

#include "previews/record_format.h"
#include "shell/tags.h"

namespace orvane {
namespace {

constexpr const char* kFailureTitle = "Can't write";

Error tellFailure(Core& core, const std::string& problem, const std::string& path, const std::string& outcome) {
  const std::string text = problem + "\r\n" + path + "\r\n" + outcome;
  core.host.messageBox(text, kFailureTitle, BoxIcon::Critical);
  return {ErrorCode::WriteFailed, text};
}

Error tellMoved(Core& core) {
  const std::string text = "File has been moved!\r\nPlease put it back.";
  core.host.messageBox(text, "Error!", BoxIcon::Information);
  return {ErrorCode::MovieMoved, text};
}

Error refuse(Core& core, ErrorCode code, const std::string& text, const char* title, BoxIcon icon) {
  core.host.messageBox(text, title, icon);
  return {code, text};
}

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

// Writes `bytes` at `offset` as one block, flushes it to stable storage and
// reads it back. `touched` is set to how many leading bytes of the block may
// have changed in the file; `previous` (the bytes the block replaces, or
// empty when they need not be told apart) lets a failed write find that out.
Status writeVerified(OpenFile& file, std::uint64_t offset, std::span<const std::uint8_t> bytes,
                     std::span<const std::uint8_t> previous, std::size_t& touched) {
  touched = bytes.size();
  const auto put = file.writeAt(offset, bytes);
  if (!put) {
    if (!previous.empty()) touched = changedPrefix(file, offset, previous);
    return Error{ErrorCode::WriteFailed, "Writing to the movie failed (" + put.error().message + ")."};
  }
  if (*put < bytes.size()) {
    touched = *put;  // the rest of the block was never reached
    return Error{ErrorCode::WriteFailed, "Only " + std::to_string(*put) + " of " + std::to_string(bytes.size()) +
                                             " bytes could be written to the movie."};
  }
  if (const auto flushed = file.flush(); !flushed)
    return Error{ErrorCode::WriteFailed, "Saving the movie to disk failed (" + flushed.error().message + ")."};

  std::vector<std::uint8_t> back(bytes.size());
  const auto got = file.readAt(offset, back);
  if (!got)
    return Error{ErrorCode::WriteFailed, "Reading the written bytes back failed (" + got.error().message + ")."};
  if (*got != back.size() || !std::equal(back.begin(), back.end(), bytes.begin()))
    return Error{ErrorCode::WriteFailed, "The bytes read back from the movie differ from the bytes written."};
  return {};
}

// Puts the record's previous rows back after a failed write, reopening the
// movie when the failure was in closing it. Returns the sentence that tells the
// user how that went.
// Only the bytes the failed write may have reached are written back, so a
// limit that stopped the write cannot stop the repair too.
std::string putBack(FileLayer& files, std::unique_ptr<OpenFile>& file, bool closed, const std::string& path,
                    std::uint64_t offset, std::span<const std::uint8_t> previous) {
  if (previous.empty()) return "Nothing was written; the movie is as it was.";
  std::string problem;
  if (closed) {
    auto reopened = files.open(path, OpenMode::ReadWrite);
    if (reopened)
      file = std::move(*reopened);
    else
      problem = "the movie could not be opened again (" + reopened.error().message + ")";
  }
  if (problem.empty()) {
    std::size_t touched = 0;
    if (const auto rewritten = writeVerified(*file, offset, previous, {}, touched); !rewritten)
      problem = rewritten.error().message;
    if (const auto closing = file->close(); problem.empty() && !closing)
      problem = "closing the movie failed (" + closing.error().message + ")";
  }
  if (problem.empty()) return "The old scene preview was put back; the movie is as it was.";
  return "Putting the old scene preview back failed too: " + problem +
         "\r\nThe scene preview in the movie may be damaged. Please open the movie again to check it.";
}

}  // namespace

std::vector<std::uint8_t> recordRowsFromBuffer(const Stores& s) {
  std::vector<std::uint8_t> rows(record::kTrailerOffset);
  std::size_t at = 0;
  // Record row k is picture row k counted from the top.
  for (int k = 0; k < record::kRows; ++k)
    for (int j = 0; j < record::kRowBytes; ++j) rows[at++] = static_cast<std::uint8_t>(s.bufferByte(k, j));
  return rows;
}

Status begin(Core& core, int axe, FileLayer& files) {
  const Stores& s = core.s;
  core.logline("Begining scene replace...", tag::Replace);

  // Before any picture was loaded the buffer holds zeros, row prefixes
  // included: writing it would break the record.
  if (!s.pictureLoaded)
    return refuse(core, ErrorCode::NothingToInsert,
                  "There is no picture to insert yet.\r\nPlease open one first with \"Open BMP...\".",
                  "Nothing to insert", BoxIcon::Information);
  if (s.moviefile.empty() || axe < 1 || axe > s.piccount || axe > kMaxPreviews || s.recordPosition(axe) < 1)
    return refuse(core, ErrorCode::NoSuchPreview,
                  "There is no scene preview number " + std::to_string(axe) +
                      " in the open movie.\r\nPlease open a movie and choose one of its scene previews first.",
                  "Nothing to replace", BoxIcon::Information);

  const std::string path = s.moviefile;
  if (!files.exists(path)) return tellMoved(core);

  // Opening never creates the file, so a movie that vanished since the test
  // above is reported as moved rather than recreated empty.
  auto opened = files.open(path, OpenMode::ReadWrite);
  if (!opened) {
    if (opened.error().code == ErrorCode::NotFound) return tellMoved(core);
    return tellFailure(core, "The movie could not be opened for writing (" + opened.error().message + ").", path,
                       "Nothing was written.");
  }
  std::unique_ptr<OpenFile> file = std::move(*opened);

  // The position comes from the scan; a movie changed since then may hold
  // anything there, and writing would damage it.
  const std::uint64_t offset = static_cast<std::uint64_t>(s.recordPosition(axe)) - 1;
  std::vector<std::uint8_t> previous(record::kRecordBytes);
  const auto got = file->readAt(offset, previous);
  if (!got)
    return tellFailure(core, "The movie could not be read (" + got.error().message + ").", path,
                       "Nothing was written.");
  if (*got != previous.size() || !record::signatureAt(previous.data()))
    return refuse(core, ErrorCode::MovieChanged,
                  "The movie has changed since it was opened: there is no scene preview at the place found then.\r\n" +
                      path + "\r\nNothing was written. Please open the movie again.",
                  "Movie changed", BoxIcon::Critical);
  previous.resize(record::kTrailerOffset);  // the trailer is never written

  const std::vector<std::uint8_t> rows = recordRowsFromBuffer(s);
  bool closed = false;
  std::size_t touched = 0;
  Status written = writeVerified(*file, offset, rows, previous, touched);
  if (written) {
    closed = true;
    if (const auto closing = file->close(); !closing)
      written = Error{ErrorCode::WriteFailed, "Closing the movie failed (" + closing.error().message + ")."};
  }
  if (!written)
    return tellFailure(core, written.error().message, path,
                       putBack(files, file, closed, path, offset, std::span(previous).first(touched)));

  core.host.messageBox("Done,Scene preview was replaced.", "", BoxIcon::None);
  core.logline("Scene replaced.", tag::Replace);
  return {};
}

}  // namespace orvane
