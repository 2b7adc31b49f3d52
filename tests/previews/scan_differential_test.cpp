// SPDX-License-Identifier: GPL-3.0-or-later
// The fast scan (chunked reads, block search, helper thread) against the
// plainest possible walk: every position tested byte by byte over the whole
// file in memory, the same calls made on a core of its own. Both must leave
// the same stores and ask exactly the same of the window, whatever the chunk
// size, the search kernel and whether a helper thread reads ahead.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "display/grid.h"
#include "previews/extraction.h"
#include "previews/repair.h"
#include "previews/scanner.h"
#include "previews/signature_search.h"
#include "sample_data.h"
#include "shell/tags.h"
#include "support/fake_host.h"
#include "support/movie_builder.h"
#include "workflow/open_movie.h"

namespace orvane {
namespace {

using testing::Bytes;

constexpr std::size_t kRec = record::kRecordBytes;

void referenceScan(Core& core, const Bytes& movie, const std::string& path) {
  Stores& s = core.s;
  s.moviefile = path;
  s.piccount = 0;
  s.posnum = 0;
  const auto length = static_cast<std::int32_t>(movie.size());
  const std::int32_t step = scanStep(length);
  core.logline("Trying to load " + shortName(path) + ", file is " + std::to_string(length) + " bytes long.",
               tag::Scanner);
  int more = 0;
  for (std::int32_t i = 1; i <= length; ++i) {
    if (step > 0 && i % step == 0) core.bars.setbar(i / 1000.0, length / 1000.0);
    const std::size_t o = static_cast<std::size_t>(i) - 1;
    if (o + kRec > movie.size() || !record::signatureAt(movie.data() + o)) continue;
    if (s.piccount == 255) {
      ++more;
      continue;
    }
    core.bars.setbar(i, length);
    recordFoundPreview(core, i);
    extractPreview(core, i, movie.data() + o);
  }
  core.host.setPageMaximum(pageMaximumFor(s.piccount));
  core.logline("Done", tag::Scanner);
  if (more > 0)
    core.logline(std::to_string(more) + (more == 1 ? " more preview" : " more previews") +
                     " found and not loaded (a movie holds at most 255 here).",
                 tag::Scanner);
  repair(core, false);
  drawPage(core);
}

// Random bytes, many of them the signature's own values so that partial and
// accidental whole signatures abound, with records planted at random, next to
// each other, overlapping, cut short by the end of the file, and straddling the
// places where chunks and carried tails meet.
Bytes randomMovie(std::uint32_t seed, std::size_t length, std::size_t chunk) {
  sample::Rng rng(seed);
  Bytes movie(length);
  const std::uint8_t alphabet[] = {0x00, 0x90, 0x01, 0x03};
  const bool dense = seed % 3 == 0;
  for (auto& b : movie) {
    const auto pick = rng() % 8;
    b = pick < (dense ? 7u : 2u) ? alphabet[pick % 4] : static_cast<std::uint8_t>(rng());
  }
  const auto plant = [&](std::size_t at) {
    if (at >= movie.size()) return;
    Bytes rec = testing::makeRecord(static_cast<int>(rng() % 1000));
    for (std::size_t k = 0; k < rec.size() && at + k < movie.size(); ++k) movie[at + k] = rec[k];
  };
  for (int k = 0; k < 6; ++k) plant(rng() % (length + 1));
  const std::size_t a = rng() % (length + 1);
  plant(a);
  plant(a + kRec);                                                                               // back to back
  if (a + 146 + 11829 <= movie.size()) std::memcpy(&movie[a + 146 + 11826], "\x01\x00\x03", 3);  // overlapping
  if (length >= kRec) plant(length - kRec + rng() % 3);  // ending at the last byte, or cut short
  // Records whose first or last bytes fall either side of a chunk's end or of
  // the end of a view's searchable part, kept apart so that none spoils another.
  std::size_t nextFree = 0;
  for (std::size_t edge = chunk; edge < length; edge += chunk) {
    const std::size_t backs[] = {kRec + 1, kRec, kRec - 1, 4, 2, 1};
    const std::size_t back = backs[rng() % 6];
    if (edge < back + nextFree) continue;
    plant(edge - back);
    nextFree = edge - back + kRec;
  }
  return movie;
}

struct Outcome {
  testing::FakeHost host;
  Core core{host};
};

void expectSameOutcome(const Outcome& fast, const Outcome& plain, const std::string& what) {
  const Stores& f = fast.core.s;
  const Stores& p = plain.core.s;
  ASSERT_EQ(f.piccount, p.piccount) << what;
  ASSERT_EQ(f.posnum, p.posnum) << what;
  for (int n = 1; n <= p.posnum; ++n) ASSERT_EQ(f.recordPosition(n), p.recordPosition(n)) << what << " entry " << n;
  for (int n = 1; n <= p.piccount; ++n) ASSERT_TRUE(f.preview(n) == p.preview(n)) << what << " preview " << n;
  EXPECT_EQ(fast.core.log.text(), plain.core.log.text()) << what;
  EXPECT_TRUE(fast.host.events == plain.host.events) << what;
}

TEST(ScanDifferential, FastScanMatchesTheByteByByteWalk) {
  testing::TempDir dir;
  struct Plan {
    std::size_t chunk, minLength, maxLength;
    int files;
  };
  const Plan plans[] = {
      {4096, 0, 120000, 12},
      {5003, 11000, 90000, 12},
      {kRec - 1, 20000, 80000, 6},
      {kRec + 1, 20000, 80000, 6},
      {1, 0, 16000, 3},
      {65536, 100000, 400000, 4},
      // The reading size used in earnest, beyond two chunk ends.
      {kDefaultChunkBytes, 2 * kDefaultChunkBytes + kRec, 3 * kDefaultChunkBytes, 2},
  };
  std::uint32_t seed = 1;
  int withRecords = 0;
  for (const Plan& plan : plans) {
    for (int k = 0; k < plan.files; ++k, ++seed) {
      sample::Rng pickLength(seed);
      const std::size_t length = plan.minLength + pickLength() % (plan.maxLength - plan.minLength + 1);
      const Bytes movie = randomMovie(seed, length, plan.chunk);
      const std::string path = dir.file("m" + std::to_string(seed) + ".3mm");
      testing::writeFile(path, movie);
      Outcome plain;
      referenceScan(plain.core, movie, path);
      withRecords += plain.core.s.piccount > 0;

      // Every kernel this processor runs, each with and without the helper thread.
      for (const SignatureKernel& kernel : signatureKernels()) {
        for (const auto helper : {ScanTuning::Helper::None, ScanTuning::Helper::One}) {
          Outcome fast;
          ASSERT_TRUE(loadfile3(fast.core, path, {plan.chunk, &kernel, helper}));
          expectSameOutcome(fast, plain,
                            "seed " + std::to_string(seed) + ", chunk " + std::to_string(plan.chunk) + ", " +
                                kernel.name + (helper == ScanTuning::Helper::One ? " with helper" : ""));
        }
      }
    }
  }
  EXPECT_GT(withRecords, 30);  // the files hold records to find, not only filler
}

TEST(SignatureSearch, EveryKernelFindsEveryPositionAndOnlyThose) {
  const auto kernels = signatureKernels();
  ASSERT_GE(kernels.size(), 1u);
  EXPECT_STREQ(kernels.back().name, "portable");
  EXPECT_EQ(fastestSignatureKernel().search, kernels.front().search);

  sample::Rng rng(7);
  const std::uint8_t alphabet[] = {0x00, 0x90, 0x01, 0x03};
  const Bytes rec = testing::makeRecord(5);
  for (int round = 0; round < 300; ++round) {
    const std::size_t count = rng() % 2000;
    const std::size_t shift = rng() % 64;  // any alignment of the data
    Bytes bytes(shift + count + kRec);
    // Mostly the signature's own bytes; every third round records back to
    // back, every third unbroken 00 90 pairs with trailers sprinkled in.
    for (std::size_t k = 0; k < bytes.size(); ++k) {
      if (round % 3 == 1)
        bytes[k] = rec[(k + static_cast<std::size_t>(round)) % rec.size()];
      else if (round % 3 == 2)
        bytes[k] = rng() % 64 == 0 ? alphabet[rng() % 4] : (k % 2 ? 0x90 : 0x00);
      else
        bytes[k] = alphabet[rng() % 4];
    }
    const std::uint8_t* data = bytes.data() + shift;

    std::vector<std::uint32_t> expected;
    for (std::size_t j = 0; j < count; ++j)
      if (record::signatureAt(data + j)) expected.push_back(static_cast<std::uint32_t>(j));
    for (const SignatureKernel& kernel : kernels) {
      std::vector<std::uint32_t> found{99};  // appends after what is there
      kernel.search(data, count, found);
      found.erase(found.begin());
      ASSERT_EQ(found, expected) << kernel.name << ", round " << round;
    }
  }
}

}  // namespace
}  // namespace orvane
