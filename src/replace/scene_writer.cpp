#include "replace/scene_writer.h"

#include <string>
#include <vector>

#include "previews/record_format.h"
#include "replace/journaled_write.h"
#include "replace/scan_facts.h"
#include "shell/checksum.h"
#include "shell/tags.h"

namespace orvane {
namespace {

Error tellMoved(Core& core) {
  const std::string text = "File has been moved!\r\nPlease put it back.";
  core.host.messageBox(text, "Error!", BoxIcon::Information);
  return {ErrorCode::MovieMoved, text};
}

Error refuse(Core& core, ErrorCode code, const std::string& text, const char* title, BoxIcon icon) {
  core.host.messageBox(text, title, icon);
  return {code, text};
}

Error changed(const std::string& why, const std::string& path) {
  return writeFailure(ErrorCode::MovieChanged, "The movie has changed since it was opened: " + why, path,
                      "Nothing was written. Please open the movie again.");
}

// The write itself, under the movie's writer's lock, which ends when this
// returns (before any box waits for the user). Errors carry the box's text.
Status writeUnderLock(Core& core, int axe, FileLayer& files) {
  Stores& s = core.s;
  const std::string path = s.moviefile;
  // Opening never creates the file, so a movie that vanished since it was
  // seen to exist is reported as moved rather than recreated empty.
  auto held = holdMovie(core, path, files);
  if (!held) return notHeld(held.error(), path);
  OpenFile& file = *held->file;

  // The write is tied to the scan: the same file, unchanged, and the record
  // still holding the bytes the scan found. A movie changed since may hold
  // anything at the recorded place, and writing would damage it.
  const auto identity = file.identity();
  if (!identity)
    return writeFailure(ErrorCode::WriteFailed, "The movie could not be examined (" + identity.error().message + ").",
                        path, "Nothing was written.");
  if (*identity != s.scannedMovie) return changed("it is not the same file, or not in the same state, as then.", path);
  const std::uint64_t offset = static_cast<std::uint64_t>(s.recordPosition(axe)) - 1;
  std::vector<std::uint8_t> previous(record::kRecordBytes);
  const auto got = file.readAt(offset, previous);
  if (!got)
    return writeFailure(ErrorCode::WriteFailed, "The movie could not be read (" + got.error().message + ").", path,
                        "Nothing was written.");
  if (*got != previous.size() || !record::signatureAt(previous.data()))
    return changed("there is no scene preview at the place found then.", path);
  if (crc32(previous) != s.recordChecksum(axe))
    return changed("scene preview " + std::to_string(axe) + " no longer holds the picture found then.", path);
  previous.resize(record::kTrailerOffset);  // the trailer is never written

  journal::WriteEntry entry;
  entry.movieLength = identity->length;
  entry.scenes.push_back({axe, offset, std::move(previous), recordRowsFromBuffer(s)});
  const Status written = journaledWrite(files, *held, entry);
  const auto after = held->lock->identity();
  noteOwnWrite(s, path, *identity, after ? *after : FileIdentity{}, written ? &entry : nullptr);
  return written;
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

  if (!files.exists(s.moviefile)) return tellMoved(core);

  if (const Status written = writeUnderLock(core, axe, files); !written) {
    const Error& e = written.error();
    if (e.code == ErrorCode::MovieMoved) return tellMoved(core);
    if (e.code == ErrorCode::Busy) return refuse(core, e.code, e.message, "Movie in use", BoxIcon::Information);
    return refuse(core, e.code, e.message, e.code == ErrorCode::MovieChanged ? "Movie changed" : "Can't write",
                  BoxIcon::Critical);
  }
  core.host.messageBox("Done,Scene preview was replaced.", "", BoxIcon::None);
  core.logline("Scene replaced.", tag::Replace);
  return {};
}

}  // namespace orvane
