#include "replace/scene_writer.h"

#include <algorithm>
#include <memory>
#include <string>

#include "previews/record_format.h"
#include "shell/tags.h"

namespace orvane {
namespace {

constexpr const char* kFailureTitle = "Can't write";

void tellFailure(Core& core, const std::string& problem, const std::string& path, const std::string& outcome) {
  core.host.messageBox(problem + "\r\n" + path + "\r\n" + outcome, kFailureTitle, BoxIcon::Critical);
}

void tellMoved(Core& core) {
  core.host.messageBox("File has been moved!\r\nPlease put it back.", "Error!", BoxIcon::Information);
}

// Writes `bytes` at `offset` as one block, flushes it to stable storage and
// reads it back. Returns what went wrong, or an empty text; `touched` is how
// many leading bytes of the block may have changed in the file.
std::string writeVerified(OpenFile& file, std::uint64_t offset, std::span<const std::uint8_t> bytes,
                          std::size_t& touched) {
  std::size_t put = 0;
  touched = bytes.size();
  const auto writeError = file.writeAt(offset, bytes, put);
  if (put < bytes.size()) touched = put;  // the rest of the block was never reached
  if (writeError) return "Writing to the movie failed (" + writeError.message() + ").";
  if (put != bytes.size())
    return "Only " + std::to_string(put) + " of " + std::to_string(bytes.size()) +
           " bytes could be written to the movie.";
  if (auto ec = file.flush()) return "Saving the movie to disk failed (" + ec.message() + ").";

  std::vector<std::uint8_t> back(bytes.size());
  std::size_t got = 0;
  if (auto ec = file.readAt(offset, back, got)) return "Reading the written bytes back failed (" + ec.message() + ").";
  if (got != back.size() || !std::equal(back.begin(), back.end(), bytes.begin()))
    return "The bytes read back from the movie differ from the bytes written.";
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
    if (auto ec = files.open(path, OpenMode::ReadWrite, file))
      problem = "the movie could not be opened again (" + ec.message() + ")";
  }
  if (problem.empty()) {
    std::size_t touched = 0;
    problem = writeVerified(*file, offset, previous, touched);
    if (auto ec = file->close(); problem.empty() && ec)
      problem = "closing the movie failed (" + ec.message() + ")";
  }
  if (problem.empty()) return "The old scene preview was put back; the movie is as it was.";
  return "Putting the old scene preview back failed too: " + problem +
         "\r\nThe scene preview in the movie may be damaged. Please open the movie again to check it.";
}

}  // namespace

std::vector<std::uint8_t> recordRowsFromBuffer(const Stores& s) {
  std::vector<std::uint8_t> rows(record::kTrailerOffset);
  std::size_t at = 0;
  for (int k = 0; k < record::kRows; ++k)
    for (int j = 0; j < record::kRowBytes; ++j)
      rows[at++] = static_cast<std::uint8_t>(s.blimp[static_cast<std::size_t>(80 - k)][static_cast<std::size_t>(j)]);
  return rows;
}

bool begin(Core& core, int axe, FileLayer& files) {
  const Stores& s = core.s;
  core.logline("Begining scene replace...", tag::Replace);

  // Before any picture was loaded the buffer holds zeros, row prefixes
  // included: writing it would break the record.
  if (!s.pictureLoaded) {
    core.host.messageBox("There is no picture to insert yet.\r\nPlease open one first with \"Open BMP...\".",
                         "Nothing to insert", BoxIcon::Information);
    return false;
  }
  if (s.moviefile.empty() || axe < 1 || axe > s.piccount || axe > kMaxPreviews ||
      s.picpos[static_cast<std::size_t>(axe)][1] < 1) {
    core.host.messageBox("There is no scene preview number " + std::to_string(axe) +
                             " in the open movie.\r\nPlease open a movie and choose one of its scene previews first.",
                         "Nothing to replace", BoxIcon::Information);
    return false;
  }

  const std::string path = s.moviefile;
  if (!files.exists(path)) {
    tellMoved(core);
    return false;
  }

  // Opening never creates the file, so a movie that vanished since the test
  // above is reported as moved rather than recreated empty.
  std::unique_ptr<OpenFile> file;
  if (auto ec = files.open(path, OpenMode::ReadWrite, file)) {
    if (ec == std::errc::no_such_file_or_directory)
      tellMoved(core);
    else
      tellFailure(core, "The movie could not be opened for writing (" + ec.message() + ").", path,
                  "Nothing was written.");
    return false;
  }

  // The position comes from the scan; a movie changed since then may hold
  // anything there, and writing would damage it.
  const std::uint64_t offset = static_cast<std::uint64_t>(s.picpos[static_cast<std::size_t>(axe)][1]) - 1;
  std::vector<std::uint8_t> previous(record::kRecordBytes);
  std::size_t got = 0;
  if (auto ec = file->readAt(offset, previous, got)) {
    tellFailure(core, "The movie could not be read (" + ec.message() + ").", path, "Nothing was written.");
    return false;
  }
  if (got != previous.size() || !record::signatureAt(previous.data())) {
    core.host.messageBox("The movie has changed since it was opened: there is no scene preview at the place "
                         "found then.\r\n" + path + "\r\nNothing was written. Please open the movie again.",
                         "Movie changed", BoxIcon::Critical);
    return false;
  }
  previous.resize(record::kTrailerOffset);  // the trailer is never written

  const std::vector<std::uint8_t> rows = recordRowsFromBuffer(s);
  bool closed = false;
  std::size_t touched = 0;
  std::string problem = writeVerified(*file, offset, rows, touched);
  if (problem.empty()) {
    closed = true;
    if (auto ec = file->close()) problem = "Closing the movie failed (" + ec.message() + ").";
  }
  if (!problem.empty()) {
    tellFailure(core, problem, path,
                putBack(files, file, closed, path, offset, std::span(previous).first(touched)));
    return false;
  }

  core.host.messageBox("Done,Scene preview was replaced.", "", BoxIcon::None);
  core.logline("Scene replaced.", tag::Replace);
  return true;
}

}  // namespace orvane
