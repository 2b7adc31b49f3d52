// SPDX-License-Identifier: GPL-3.0-or-later
// The demo movie written at build time: sixteen scene cards (two grid pages),
// found only where they were written, in palette colours, one with a damaged row.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "previews/record_format.h"
#include "previews/scanner.h"
#include "support/fake_host.h"
#include "support/movie_builder.h"
#include "workflow/open_movie.h"

namespace orvane {
namespace {

using testing::Bytes;

struct DemoMovie {
  Bytes bytes;
  std::vector<std::size_t> starts;  // every offset where the full signature matches
};

const DemoMovie& demo() {
  static const DemoMovie movie = [] {
    DemoMovie m;
    m.bytes = testing::readFile(ORVANE_RUNTIME_DIR "/demo.3mm");
    for (std::size_t p = 0; p + record::kRecordBytes <= m.bytes.size(); ++p)
      if (record::signatureAt(m.bytes.data() + p)) m.starts.push_back(p);
    return m;
  }();
  return movie;
}

std::uint8_t pixel(std::size_t start, int x, int y) {
  return demo().bytes[start + static_cast<std::size_t>(y * record::kRowBytes + 2 + x)];
}

TEST(DemoMovie, HoldsSixteenSeparateRecordsWithFillerAroundThem) {
  const auto& m = demo();
  ASSERT_EQ(m.starts.size(), 16u);
  EXPECT_GT(m.starts.front(), 0u);
  EXPECT_LT(m.starts.back() + record::kRecordBytes, m.bytes.size());
  for (std::size_t i = 1; i < m.starts.size(); ++i)
    EXPECT_GT(m.starts[i], m.starts[i - 1] + record::kRecordBytes) << "record " << i + 1;

  // Outside the records' row prefixes the pair 0x00 0x90 never occurs, so even
  // a reader that tested prefixes alone would find nothing else.
  std::set<std::size_t> prefixes;
  for (std::size_t s : m.starts)
    for (int y = 0; y < record::kRows; ++y) prefixes.insert(s + static_cast<std::size_t>(y * record::kRowBytes));
  for (std::size_t p = 0; p + 1 < m.bytes.size(); ++p) {
    if (m.bytes[p] == record::kPrefix0 && m.bytes[p + 1] == record::kPrefix1) {
      EXPECT_TRUE(prefixes.count(p)) << "stray prefix at offset " << p;
    }
  }
}

TEST(DemoMovie, CardsUseOnlyTheFirst151EntriesAndDifferFromEachOther) {
  const auto& m = demo();
  std::set<Bytes> pictures;
  for (std::size_t i = 0; i < m.starts.size(); ++i) {
    Bytes picture;
    std::set<std::uint8_t> colours;
    for (int y = 0; y < record::kRows; ++y)
      for (int x = 0; x < record::kPixelsPerRow; ++x) {
        const std::uint8_t v = pixel(m.starts[i], x, y);
        EXPECT_LE(v, 150) << "record " << i + 1 << " at (" << x << ", " << y << ")";
        colours.insert(v);
        picture.push_back(v);
      }
    EXPECT_GE(colours.size(), 8u) << "record " << i + 1 << " is not much of a picture";
    pictures.insert(picture);
  }
  EXPECT_EQ(pictures.size(), m.starts.size());
}

TEST(DemoMovie, OnlyTheFifthCardHasOneDamagedPrefixInALaterRow) {
  const auto& m = demo();
  ASSERT_EQ(m.starts.size(), 16u);
  int damaged = 0;
  for (std::size_t i = 0; i < m.starts.size(); ++i)
    for (int y = 0; y < record::kRows; ++y) {
      const std::size_t at = m.starts[i] + static_cast<std::size_t>(y * record::kRowBytes);
      const int wrongBytes = (m.bytes[at] != record::kPrefix0) + (m.bytes[at + 1] != record::kPrefix1);
      if (wrongBytes == 0) continue;
      damaged += wrongBytes;
      EXPECT_EQ(i, 4u) << "damaged prefix in record " << i + 1 << ", row " << y;
      EXPECT_GT(y, 0);
    }
  // One wrong byte: opening the movie reports 0.5 pairs repaired.
  EXPECT_EQ(damaged, 1);
}

// Opening the demo the way the window does: two pages of previews at the
// written positions, and the one damaged byte reported and mended in memory.
TEST(DemoMovie, OpensAsTwoPagesWithOneRepair) {
  testing::FakeHost host;
  Core core{host};
  const auto scanned = loadfile3(core, ORVANE_RUNTIME_DIR "/demo.3mm");
  ASSERT_TRUE(scanned) << scanned.error().message;

  ASSERT_EQ(core.s.piccount, 16);
  EXPECT_EQ(host.pageMaximum, 1);
  for (int n = 1; n <= 16; ++n)
    EXPECT_EQ(core.s.recordPosition(n), static_cast<std::int32_t>(demo().starts[n - 1] + 1)) << "preview " << n;

  const std::string& log = core.log.text();
  EXPECT_NE(log.find("Repairer:0.5pairs repaired.\r\n"), std::string::npos) << log;
  for (int n = 1; n <= 16; ++n)
    for (int r = 1; r <= record::kRows; ++r) {
      ASSERT_EQ(core.s.previewByte(n, r - 1, 0), 0) << "preview " << n << ", row " << r;
      ASSERT_EQ(core.s.previewByte(n, r - 1, 1), 144) << "preview " << n << ", row " << r;
    }
}

}  // namespace
}  // namespace orvane
