// The chunked reader: every record found once, in order, whatever the chunk
// boundaries; a failed read ends the walk after the chunks before it.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "previews/chunked_reader.h"
#include "support/movie_builder.h"
#include "support/pass_through_files.h"

namespace orvane {
namespace {

using testing::Bytes;

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

// What a walk handed out: each chunk's offset, size, testable count and hits.
struct Walk {
  std::vector<std::tuple<std::int64_t, std::size_t, std::size_t, std::vector<std::uint32_t>>> chunks;
  std::string error;  // the read error's message
  std::int64_t readUpTo = 0;
};

Walk walk(MovieFile& file, const ScanTuning& tuning) {
  Walk w;
  ChunkedReader reader(file, tuning);
  ChunkView view;
  while (reader.next(view))
    w.chunks.emplace_back(view.offset, view.size, view.testable,
                          std::vector<std::uint32_t>(view.hits.begin(), view.hits.end()));
  if (reader.readError()) w.error = reader.readError()->message;
  w.readUpTo = reader.bytesRead();
  return w;
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

TEST_F(ChunkedReaderTest, EveryRecordOnceAndAReadErrorEndsTheWalkBeforeTheFailingChunk) {
  // Chunk k reads bytes [k * 4096, k * 4096 + 4096 + 11828): chunk 27 is the
  // first to reach the failing byte, so chunks 0..26 come and nothing after.
  const std::uint64_t failAt = 30 * kChunk + 77;
  FailingReads layer(failAt);
  MovieFile file;
  ASSERT_TRUE(file.open(path, layer));
  const Walk failed = walk(file, {kChunk, nullptr});

  EXPECT_EQ(failed.error, "injected failure");
  ASSERT_EQ(failed.chunks.size(), 27u);
  const auto& [offset, size, testable, hits] = failed.chunks.back();
  EXPECT_EQ(offset, static_cast<std::int64_t>(26 * kChunk));
  EXPECT_EQ(testable, kChunk);
  EXPECT_EQ(failed.readUpTo, offset + static_cast<std::int64_t>(size));
  EXPECT_EQ(failed.readUpTo, static_cast<std::int64_t>(27 * kChunk + kCarryBytes));

  // Unharmed, the same file gives every record and is read to its end.
  MovieFile whole;
  ASSERT_TRUE(whole.open(path));
  const Walk all = walk(whole, {kChunk, nullptr});
  std::vector<std::int64_t> found;
  for (const auto& [at, bytes, count, chunkHits] : all.chunks)
    for (std::uint32_t hit : chunkHits) found.push_back(at + hit);
  EXPECT_EQ(found, (std::vector<std::int64_t>{0, 7 * kChunk - 1, 20 * kChunk + 5,
                                              static_cast<std::int64_t>(movie.size() - record::kRecordBytes)}));
  EXPECT_EQ(all.readUpTo, static_cast<std::int64_t>(movie.size()));
  EXPECT_EQ(all.error, "");
}

}  // namespace
}  // namespace orvane
