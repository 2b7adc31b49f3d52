// SPDX-License-Identifier: GPL-3.0-or-later
#include "previews/scanner.h"

#include <limits>
#include <span>

#include "previews/extraction.h"
#include "previews/movie_file.h"
#include "previews/record_format.h"
#include "shell/checksum.h"
#include "shell/tags.h"

namespace orvane {

namespace {

// The walk's periodic progress: setbar(i / 1000, length / 1000) at every
// multiple i of the step, reported as the walk reaches each one. A step of 0
// (files under 16 bytes) reports nothing.
class StepProgress {
 public:
  StepProgress(ProgressBars& bars, std::int64_t step, std::int64_t length)
      : bars_(bars), step_(step), next_(step), length_(length) {}

  // Reports every multiple up to and including `position`.
  void reach(std::int64_t position) {
    if (step_ <= 0) return;
    for (; next_ <= position; next_ += step_)
      bars_.setbar(static_cast<double>(next_) / 1000, static_cast<double>(length_) / 1000);
  }

 private:
  ProgressBars& bars_;
  std::int64_t step_;
  std::int64_t next_;
  std::int64_t length_;
};

std::string notLoadedLine(std::int64_t count) {
  return std::to_string(count) + (count == 1 ? " more preview" : " more previews") +
         " found and not loaded (a movie holds at most " + std::to_string(kMaxPreviews) + " here).";
}

}  // namespace

std::int32_t scanStep(std::int64_t length) {
  // Whole-number arithmetic, so the halves (length 15, 45, 75, ...) round to even exactly.
  const std::int64_t whole = length / 30;
  const std::int64_t rest = length % 30;
  const bool up = rest > 15 || (rest == 15 && whole % 2 != 0);
  return static_cast<std::int32_t>(up ? whole + 1 : whole);
}

std::string shortName(const std::string& path) {
  const auto cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

void recordFoundPreview(Core& core, std::int32_t a) {
  Stores& s = core.s;
  if (s.posnum < 0 || s.posnum >= kMaxPreviews) return;  // no entry left in the table
  ++s.posnum;
  s.recordPosition(s.posnum) = a;
}

Result<WalkSummary> walkMovie(Core& core, const std::string& moviePath, const ScanTuning& tuning, FileLayer& files) {
  // Open and measure before anything changes, so that a movie that cannot be
  // scanned leaves the previous one shown and usable.
  MovieFile file;
  if (auto opened = file.open(moviePath, files); !opened) return opened.error();
  if (file.length() > std::numeric_limits<std::int32_t>::max())
    return Error{ErrorCode::TooLarge, "File too large: " + std::to_string(file.length()) +
                                          " bytes, positions stop at " +
                                          std::to_string(std::numeric_limits<std::int32_t>::max())};
  ChunkedReader reader(file, tuning);

  Stores& s = core.s;
  s.moviefile = moviePath;
  s.piccount = 0;
  s.posnum = 0;
  s.scannedMovie = file.identity();
  ++s.scanSerial;
  const auto length = static_cast<std::int32_t>(file.length());
  const std::int32_t step = scanStep(length);
  core.logline("Trying to load " + shortName(moviePath) + ", file is " + std::to_string(length) + " bytes long.",
               tag::Scanner);

  // The walk over positions 1..length. The views come in file order, each
  // with its record positions in increasing order; the progress due at or
  // before each one is reported first, so the calls come exactly as a
  // byte-by-byte walk would make them.
  StepProgress progress(core.bars, step, length);
  WalkSummary summary;
  while (const auto next = reader.next()) {
    const ChunkView& view = *next;
    for (const std::uint32_t hit : view.hits) {
      const auto i = static_cast<std::int32_t>(view.offset + hit + 1);
      progress.reach(i);
      if (s.piccount >= kMaxPreviews) {
        ++summary.notLoaded;
        continue;
      }
      core.bars.setbar(i, length);
      recordFoundPreview(core, i);
      extractPreview(core, i, view.data + hit);
      s.recordChecksum(s.piccount) = crc32(std::span(view.data + hit, record::kRecordBytes));
    }
    progress.reach(view.offset + static_cast<std::int64_t>(view.testable));
  }
  // The last positions are too close to the end of the file for a record.
  progress.reach(length);
  summary.readOutcome = reader.readOutcome();
  summary.readUpTo = reader.bytesRead();
  file.close();
  return summary;
}

void reportWalkEnd(Core& core, const WalkSummary& walk) {
  core.logline("Done", tag::Scanner);
  if (walk.notLoaded > 0) core.logline(notLoadedLine(walk.notLoaded), tag::Scanner);
  if (!walk.readOutcome)
    core.logline(
        "Could not read on from byte " + std::to_string(walk.readUpTo) + ": " + walk.readOutcome.error().message + ".",
        tag::Scanner);
}

}  // namespace orvane
