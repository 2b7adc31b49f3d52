// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the whole scan (walk, extraction, repair) as the
// content of a movie file. The first byte also picks how many bytes the scan
// reads at a time, so that records fall across chunk boundaries in every way,
// and the second the search kernel and whether a helper thread reads ahead.
//
// Checked for every input, against a byte-by-byte walk done here:
// - the scan succeeds, and finds the walk's matches, in order, up to 255;
// - every reported position p has 00 90 at byte p-1 and 01 00 03 at p-1+11826,
//   inside the input, and positions strictly increase;
// - each stored preview holds the input's 81 rows, prefixes repaired to 0, 144;
// - matches beyond 255 are reported as such in the log, and only then.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "previews/record_format.h"
#include "previews/signature_search.h"
#include "workflow/open_movie.h"

namespace {

using namespace orvane;

// The movie lives in one temporary file per process, removed at exit; the
// clock reading in its name keeps processes running side by side apart.
class MovieOnDisk {
 public:
  MovieOnDisk()
      : path_((std::filesystem::temp_directory_path() /
               ("orvane-scan-fuzz-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) +
                ".3mm"))
                  .string()) {}
  ~MovieOnDisk() {
    std::error_code ec;
    std::filesystem::remove(path_, ec);
  }

  const std::string& write(const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    fuzz::check(static_cast<bool>(out), "could not write the temporary movie");
    return path_;
  }

 private:
  std::string path_;
};

// Small chunks three times in four: a record (11829 bytes) then spans several.
std::size_t chunkBytesFor(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 4096;
  const std::uint8_t pick = data[0];
  if ((pick & 3) == 0) return kDefaultChunkBytes;
  return 512 + static_cast<std::size_t>(pick >> 2) * 128;  // 512 .. 8576
}

ScanTuning tuningFor(const std::uint8_t* data, std::size_t size) {
  ScanTuning tuning{chunkBytesFor(data, size)};
  if (size < 2) return tuning;
  const auto kernels = signatureKernels();
  tuning.kernel = &kernels[(data[1] & 0x7F) % kernels.size()];
  tuning.helper = data[1] & 0x80 ? ScanTuning::Helper::One : ScanTuning::Helper::None;
  return tuning;
}

MovieOnDisk movie;
fuzz::Workbench bench;

// Every one-based position whose record lies wholly inside the input.
ORVANE_FUZZ_UNTRACED std::vector<std::int32_t> referenceWalk(const std::uint8_t* data, std::size_t size) {
  std::vector<std::int32_t> positions;
  for (std::size_t j = 0; j + record::kRecordBytes <= size; ++j)
    if (record::signatureAt(data + j)) positions.push_back(static_cast<std::int32_t>(j + 1));
  return positions;
}

ORVANE_FUZZ_UNTRACED void checkScan(const Stores& s, const std::uint8_t* data, std::size_t size,
                                    const std::vector<std::int32_t>& positions) {
  const std::size_t loaded = positions.size() < kMaxPreviews ? positions.size() : kMaxPreviews;
  fuzz::check(s.piccount == static_cast<std::int32_t>(loaded), "piccount differs from the walk", s.piccount);
  fuzz::check(s.posnum == static_cast<std::int32_t>(loaded), "posnum differs from the walk", s.posnum);

  std::int64_t previous = 0;
  for (std::size_t n = 1; n <= loaded; ++n) {
    const std::int32_t p = s.recordPosition(static_cast<int>(n));
    fuzz::check(p == positions[n - 1], "reported position differs from the walk", p);
    fuzz::check(p > previous, "positions not strictly increasing", p);
    previous = p;

    const std::size_t at = static_cast<std::size_t>(p) - 1;
    fuzz::check(p >= 1 && at + record::kRecordBytes <= size, "record not inside the input", p);
    fuzz::check(data[at] == 0x00 && data[at + 1] == 0x90, "no prefix at the reported position", p);
    fuzz::check(data[at + record::kTrailerOffset] == 0x01 && data[at + record::kTrailerOffset + 1] == 0x00 &&
                    data[at + record::kTrailerOffset + 2] == 0x03,
                "no trailer after the reported position", p);

    const RecordPicture& preview = s.preview(static_cast<int>(n));
    for (int y = 0; y < record::kRows; ++y) {
      const std::uint8_t* row = data + at + static_cast<std::size_t>(y * record::kRowBytes);
      fuzz::check(preview.byte(y, 0) == 0 && preview.byte(y, 1) == 144, "row prefix not repaired", p);
      bool same = true;
      for (int j = 2; j < record::kRowBytes; ++j) same &= preview.byte(y, j) == row[j];
      fuzz::check(same, "stored pixel differs from the movie", p);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::int32_t> positions = referenceWalk(data, size);

  fuzz::Workbench::Round round(bench);
  Core& core = round.core();
  const auto scanned = loadfile3(core, movie.write(data, size), tuningFor(data, size));
  fuzz::check(scanned.ok(), "scan of a readable file failed");
  checkScan(core.s, data, size, positions);

  const bool overflow = positions.size() > kMaxPreviews;
  fuzz::check(bench.host.logged("found and not loaded") == overflow, "overflow line wrong");
  if (overflow) {
    const std::size_t extra = positions.size() - kMaxPreviews;
    const std::string line = std::to_string(extra) + (extra == 1 ? " more preview " : " more previews ");
    fuzz::check(bench.host.logged(line), "overflow count wrong", static_cast<long long>(extra));
  }
  fuzz::check(bench.host.logged("file is " + std::to_string(size) + " bytes long."), "length line wrong");
  fuzz::check(bench.host.pageMaximum >= -1, "page maximum not set", bench.host.pageMaximum);
  return 0;
}
