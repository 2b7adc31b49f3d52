// SPDX-License-Identifier: GPL-3.0-or-later
#include "replace/scene_writer.h"

#include <algorithm>
#include <string>
#include <vector>

#include "previews/record_format.h"
#include "replace/journaled_write.h"
#include "replace/scan_facts.h"
#include "shell/checksum.h"
#include "shell/tags.h"

namespace orvane {
namespace {

Error moved() { return {ErrorCode::MovieMoved, "File has been moved!\r\nPlease put it back."}; }

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
Status writeUnderLock(Core& core, std::vector<NewScene> scenes, FileLayer& files, const std::string& label) {
  Stores& s = core.s;
  const std::string path = s.moviefile;
  // Opening never creates the file, so a movie that vanished since it was
  // seen to exist is reported as moved rather than recreated empty.
  auto held = holdMovie(core, path, files);
  if (!held) return notHeld(held.error(), path);
  OpenFile& file = *held->file;

  // The write is tied to the scan: the same file, unchanged, and each record
  // still holding the bytes the scan found. A movie changed since may hold
  // anything at the recorded place, and writing would damage it.
  const auto identity = file.identity();
  if (!identity)
    return writeFailure(ErrorCode::WriteFailed, "The movie could not be examined (" + identity.error().message + ").",
                        path, "Nothing was written.");
  if (*identity != s.scannedMovie) return changed("it is not the same file, or not in the same state, as then.", path);

  journal::WriteEntry entry;
  entry.movieLength = identity->length;
  entry.label = label;
  for (NewScene& scene : scenes) {
    const int n = scene.preview;
    const std::uint64_t offset = static_cast<std::uint64_t>(s.recordPosition(n)) - 1;
    std::vector<std::uint8_t> previous(record::kRecordBytes);
    const auto got = file.readAt(offset, previous);
    if (!got)
      return writeFailure(ErrorCode::WriteFailed, "The movie could not be read (" + got.error().message + ").", path,
                          "Nothing was written.");
    if (*got != previous.size() || !record::signatureAt(previous.data()))
      return changed("there is no scene preview at the place found then.", path);
    if (crc32(previous) != s.recordChecksum(n))
      return changed("scene preview " + std::to_string(n) + " no longer holds the picture found then.", path);
    previous.resize(record::kTrailerOffset);  // the trailer is never written
    std::vector<std::uint8_t> rows = recordRows(scene.picture);
    // A scene that already holds its new rows is no change: never recorded.
    if (previous == rows) continue;
    entry.scenes.push_back({n, offset, std::move(previous), std::move(rows)});
  }
  if (entry.scenes.empty()) return Error{ErrorCode::Unchanged, "The movie already holds these pictures."};
  const Status written = journaledWrite(files, *held, entry);
  const auto after = held->lock->identity();
  noteOwnWrite(s, path, *identity, after ? *after : FileIdentity{}, written ? &entry : nullptr);
  return written;
}

// What writeScenes needs before it takes the lock: previews of the open movie,
// each once, whose records do not overlap (a journal entry's scenes must not,
// or undoing one would undo part of another).
Status checkScenes(const Stores& s, const std::vector<NewScene>& scenes) {
  const auto noSuch = [](const std::string& text) { return Error{ErrorCode::NoSuchPreview, text}; };
  if (s.moviefile.empty()) return noSuch("No movie is open.");
  if (scenes.empty() || scenes.size() > journal::kMaxScenes)
    return noSuch("A step writes 1 to " + std::to_string(journal::kMaxScenes) + " scene previews.");
  std::vector<std::int64_t> starts;
  for (const NewScene& scene : scenes) {
    const int n = scene.preview;
    if (n < 1 || n > s.piccount || n > kMaxPreviews || s.recordPosition(n) < 1)
      return noSuch("There is no scene preview number " + std::to_string(n) + " in the open movie.");
    starts.push_back(s.recordPosition(n));
  }
  std::sort(starts.begin(), starts.end());
  for (std::size_t i = 1; i < starts.size(); ++i)
    if (starts[i] - starts[i - 1] < record::kRecordBytes)
      return noSuch("Two of the scene previews are the same, or their records overlap.");
  return {};
}

}  // namespace

RecordPicture loadedPicture(const IndexPicture& picture) {
  RecordPicture loaded;
  for (auto& prefix : loaded.prefixes) prefix = {record::kPrefix0, record::kPrefix1};
  for (std::size_t i = 0; i < picture.index.size(); ++i) {
    const std::uint8_t v = picture.index[i];
    loaded.pixels.index[i] = v > kHighestPictureColour ? 0 : v;
  }
  return loaded;
}

int clearedPixels(const IndexPicture& picture) {
  int count = 0;
  for (const std::uint8_t v : picture.index) count += v > kHighestPictureColour;
  return count;
}

Status writeScenes(Core& core, std::vector<NewScene> scenes, FileLayer& files, const std::string& label) {
  if (const Status fit = checkScenes(core.s, scenes); !fit) return fit;
  if (!files.exists(core.s.moviefile)) return moved();
  std::sort(scenes.begin(), scenes.end(), [](const NewScene& a, const NewScene& b) { return a.preview < b.preview; });
  return writeUnderLock(core, std::move(scenes), files, label);
}

Told tellWriteError(Core& core, const Error& e) {
  if (e.code == ErrorCode::MovieMoved)
    core.host.messageBox(e.message, "Error!", BoxIcon::Information);
  else if (e.code == ErrorCode::Busy)
    core.host.messageBox(e.message, "Movie in use", BoxIcon::Information);
  else
    core.host.messageBox(e.message, e.code == ErrorCode::MovieChanged ? "Movie changed" : "Can't write",
                         BoxIcon::Critical);
  return e;
}

Told writeBufferToScene(Core& core, int scene, FileLayer& files) {
  const Stores& s = core.s;
  core.logline("Begining scene replace...", tag::Replace);

  // Before any picture was loaded the buffer holds zeros, row prefixes
  // included: writing it would break the record.
  if (!s.pictureLoaded)
    return refuse(core, ErrorCode::NothingToInsert,
                  "There is no picture to insert yet.\r\nPlease open one first with \"Open BMP...\".",
                  "Nothing to insert", BoxIcon::Information);
  if (s.moviefile.empty() || scene < 1 || scene > s.piccount || scene > kMaxPreviews || s.recordPosition(scene) < 1)
    return refuse(core, ErrorCode::NoSuchPreview,
                  "There is no scene preview number " + std::to_string(scene) +
                      " in the open movie.\r\nPlease open a movie and choose one of its scene previews first.",
                  "Nothing to replace", BoxIcon::Information);

  const Status written = files.exists(s.moviefile)
                             ? writeUnderLock(core, {{scene, s.pictureBuffer()}}, files, s.pictureName)
                             : Status{moved()};
  if (!written && written.error().code == ErrorCode::Unchanged) {
    core.logline("Scene preview " + std::to_string(scene) + " already holds this picture: nothing was written.",
                 tag::Replace);
    return {};
  }
  if (!written) return tellWriteError(core, written.error());
  core.host.messageBox("Done,Scene preview was replaced.", "", BoxIcon::None);
  core.logline("Scene replaced.", tag::Replace);
  return {};
}

}  // namespace orvane
