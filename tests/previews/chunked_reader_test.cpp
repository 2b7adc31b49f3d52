// SPDX-License-Identifier: GPL-3.0-or-later
// The chunked reader with and without its helper thread: the same chunks in
// the same order, a read error ending the walk at the same place, and a
// failure or an early stop while the helper reads ahead ending cleanly, and a
// helper that stalls giving its work back to the caller.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <new>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "previews/chunked_reader.h"
#include "support/movie_builder.h"
#include "support/pass_through_files.h"

namespace orvane {
namespace {

using testing::Bytes;
using Helper = ScanTuning::Helper;

// The system's files, except that a read reaching byte `failAt` fails.
struct FailingReads final : testing::PassThroughFiles {
  std::uint64_t failAt;
  explicit FailingReads(std::uint64_t at) : failAt(at) {}

  struct File final : testing::PassThroughFile {
    std::uint64_t failAt;
    File(std::unique_ptr<OpenFile> real, std::uint64_t at) : PassThroughFile(std::move(real)), failAt(at) {}
    Result<std::size_t> readAt(std::uint64_t at, std::span<std::uint8_t> out) override {
      if (at + out.size() > failAt) return Error{ErrorCode::Io, "injected failure"};
      return PassThroughFile::readAt(at, out);
    }
  };

  std::unique_ptr<OpenFile> wrap(std::unique_ptr<OpenFile> real) override {
    return std::make_unique<File>(std::move(real), failAt);
  }
};

// The system's files, except that a read made on any thread but the one that
// opened the file takes 20 ms, as when the helper's processor is busy with
// other work; such reads are counted.
struct SlowHelperReads final : testing::PassThroughFiles {
  std::thread::id caller = std::this_thread::get_id();
  std::atomic<int> helperReads{0};

  struct File final : testing::PassThroughFile {
    SlowHelperReads& owner;
    File(std::unique_ptr<OpenFile> real, SlowHelperReads& o) : PassThroughFile(std::move(real)), owner(o) {}
    Result<std::size_t> readAt(std::uint64_t at, std::span<std::uint8_t> out) override {
      if (std::this_thread::get_id() != owner.caller) {
        ++owner.helperReads;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
      return PassThroughFile::readAt(at, out);
    }
  };

  std::unique_ptr<OpenFile> wrap(std::unique_ptr<OpenFile> real) override {
    return std::make_unique<File>(std::move(real), *this);
  }
};

// What a walk handed out: each chunk's offset, size, testable count and hits.
struct Walk {
  std::vector<std::tuple<std::int64_t, std::size_t, std::size_t, std::vector<std::uint32_t>>> chunks;
  std::string error;  // the read error's message
  std::int64_t readUpTo = 0;
};

Walk walk(MovieFile& file, const ScanTuning& tuning) {
  Walk w;
  ChunkedReader reader(file, tuning);
  while (const auto view = reader.next())
    w.chunks.emplace_back(view->offset, view->size, view->testable,
                          std::vector<std::uint32_t>(view->hits.begin(), view->hits.end()));
  if (!reader.readOutcome()) w.error = reader.readOutcome().error().message;
  w.readUpTo = reader.bytesRead();
  return w;
}

// A kernel that runs out of memory on a chunk starting with 0xEE and finds
// nothing elsewhere.
void failOnMarker(const std::uint8_t* data, std::size_t count, std::vector<std::uint32_t>&) {
  if (count > 0 && data[0] == 0xEE) throw std::bad_alloc();
}

struct ChunkedReaderTest : ::testing::Test {
  static constexpr std::size_t kChunk = 4096;
  testing::TempDir dir;
  std::string path = dir.file("movie.3mm");
  Bytes movie = testing::filler(40 * kChunk + 123);

  void SetUp() override {
    for (std::size_t at : {std::size_t{0}, 7 * kChunk - 1, 20 * kChunk + 5, movie.size() - record::kRecordBytes})
      testing::put(movie, at, testing::makeRecord(static_cast<int>(at % 100)));
    testing::writeFile(path, movie);
  }
};

TEST_F(ChunkedReaderTest, ReadErrorEndsTheWalkAtTheSamePlaceWithOrWithoutTheHelper) {
  // Chunk k reads bytes [k * 4096, k * 4096 + 4096 + 11828): chunk 27 is the
  // first to reach the failing byte, so chunks 0..26 come and nothing after.
  const std::uint64_t failAt = 30 * kChunk + 77;
  FailingReads layer(failAt);
  MovieFile file;
  ASSERT_TRUE(file.open(path, layer));
  const Walk alone = walk(file, {kChunk, nullptr, Helper::None});
  const Walk helped = walk(file, {kChunk, nullptr, Helper::One});

  EXPECT_EQ(alone.error, "injected failure");
  ASSERT_EQ(alone.chunks.size(), 27u);
  const auto& [offset, size, testable, hits] = alone.chunks.back();
  EXPECT_EQ(offset, static_cast<std::int64_t>(26 * kChunk));
  EXPECT_EQ(testable, kChunk);
  EXPECT_EQ(alone.readUpTo, offset + static_cast<std::int64_t>(size));
  EXPECT_EQ(alone.readUpTo, static_cast<std::int64_t>(27 * kChunk + kCarryBytes));

  EXPECT_EQ(helped.chunks, alone.chunks);
  EXPECT_EQ(helped.error, alone.error);
  EXPECT_EQ(helped.readUpTo, alone.readUpTo);

  // Unharmed, the same file gives every record and is read to its end.
  MovieFile whole;
  ASSERT_TRUE(whole.open(path));
  const Walk all = walk(whole, {kChunk, nullptr, Helper::One});
  std::vector<std::int64_t> found;
  for (const auto& [at, bytes, count, chunkHits] : all.chunks)
    for (std::uint32_t hit : chunkHits) found.push_back(at + hit);
  EXPECT_EQ(found, (std::vector<std::int64_t>{0, 7 * kChunk - 1, 20 * kChunk + 5,
                                              static_cast<std::int64_t>(movie.size() - record::kRecordBytes)}));
  EXPECT_EQ(all.readUpTo, static_cast<std::int64_t>(movie.size()));
  EXPECT_EQ(all.error, "");
}

TEST_F(ChunkedReaderTest, AFailedSearchComesOutInTurnAndAnEarlyStopEndsTheHelper) {
  for (std::size_t at = 0; at < movie.size(); at += kChunk)
    if (movie[at] == 0xEE) movie[at] = 0x11;
  movie[9 * kChunk] = 0xEE;
  testing::writeFile(path, movie);
  const SignatureKernel failing{"failing", failOnMarker};
  for (const auto helper : {Helper::None, Helper::One}) {
    MovieFile file;
    ASSERT_TRUE(file.open(path));
    ChunkedReader reader(file, {kChunk, &failing, helper});
    for (std::int64_t k = 0; k < 9; ++k) {
      const auto view = reader.next();
      ASSERT_TRUE(view);
      EXPECT_EQ(view->offset, k * static_cast<std::int64_t>(kChunk));
    }
    EXPECT_FALSE(reader.next());
    ASSERT_FALSE(reader.readOutcome());
    EXPECT_EQ(reader.readOutcome().error().message, systemError(ENOMEM).message);
    EXPECT_EQ(reader.bytesRead(), static_cast<std::int64_t>(9 * kChunk + kCarryBytes));
  }
  // Leaving after one chunk, with the helper reading ahead, just stops it.
  for (int round = 0; round < 20; ++round) {
    MovieFile file;
    ASSERT_TRUE(file.open(path));
    ChunkedReader reader(file, {kChunk, nullptr, Helper::One});
    ASSERT_TRUE(reader.next());
  }
}

TEST_F(ChunkedReaderTest, AStalledHelperFinishesItsChunkAndLeavesTheRestToTheCaller) {
  MovieFile plain;
  ASSERT_TRUE(plain.open(path));
  const Walk alone = walk(plain, {kChunk, nullptr, Helper::None});

  SlowHelperReads layer;
  MovieFile file;
  ASSERT_TRUE(file.open(path, layer));
  const Walk helped = walk(file, {kChunk, nullptr, Helper::One});
  EXPECT_EQ(helped.chunks, alone.chunks);
  EXPECT_EQ(helped.readUpTo, alone.readUpTo);
  // Left running, the helper would have read about half of the 40 chunks.
  EXPECT_LE(layer.helperReads.load(), 2);
}

}  // namespace
}  // namespace orvane
