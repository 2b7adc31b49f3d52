// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "previews/scanner.h"
#include "support/fake_host.h"
#include "support/movie_builder.h"
#include "workflow/open_movie.h"

namespace orvane {
namespace {

using testing::Bytes;
using testing::filler;
using testing::makeRecord;
using testing::put;

constexpr int kRec = record::kRecordBytes;  // 11829

struct ScannerTest : ::testing::Test {
  testing::FakeHost host;
  Core core{host};
  testing::TempDir dir;

  std::string write(const Bytes& bytes, const std::string& name = "scene.3mm") {
    const std::string path = dir.file(name);
    testing::writeFile(path, bytes);
    return path;
  }
  void scan(const Bytes& bytes, const std::string& name = "scene.3mm") {
    const auto scanned = loadfile3(core, write(bytes, name));
    ASSERT_TRUE(scanned) << scanned.error().message;
  }
  std::vector<int> found() const {
    std::vector<int> positions;
    for (int n = 1; n <= core.s.posnum; ++n) positions.push_back(core.s.recordPosition(n));
    return positions;
  }
  // `count` sound records back to back, record k (1..) made from seed k.
  static Bytes recordsBackToBack(int count) {
    Bytes movie;
    for (int k = 1; k <= count; ++k) put(movie, movie.size(), makeRecord(k));
    return movie;
  }
};

TEST(ScanArithmetic, StepRoundsHalvesToEvenAndShortNameTakesTheLastPiece) {
  EXPECT_EQ(scanStep(0), 0);
  EXPECT_EQ(scanStep(15), 0);  // 0.5
  EXPECT_EQ(scanStep(16), 1);
  EXPECT_EQ(scanStep(45), 2);   // 1.5
  EXPECT_EQ(scanStep(75), 2);   // 2.5
  EXPECT_EQ(scanStep(105), 4);  // 3.5
  EXPECT_EQ(scanStep(30000), 1000);
  EXPECT_EQ(scanStep(2147483647), 71582788);

  EXPECT_EQ(shortName("C:\\Movies\\scene.3mm"), "scene.3mm");
  EXPECT_EQ(shortName("/home/me/films/a b.3mm"), "a b.3mm");
  EXPECT_EQ(shortName("scene.3mm"), "scene.3mm");
  EXPECT_EQ(shortName("C:\\Movies\\"), "");
}

TEST_F(ScannerTest, FindsExactlyTheSignaturePositions) {
  struct Case {
    const char* what;
    Bytes movie;
    std::vector<int> positions;
  };
  std::vector<Case> cases;
  cases.push_back({"record at offset 0, trailer ending at the last byte", makeRecord(1), {1}});
  Bytes cut = makeRecord(1);
  cut.pop_back();
  cases.push_back({"the same cut one byte short", cut, {}});
  Bytes odd = filler(7);
  put(odd, 7, makeRecord(2));
  cases.push_back({"odd offset, trailer ending at the last byte", odd, {8}});
  cases.push_back({"back to back", recordsBackToBack(2), {1, 1 + kRec}});
  for (const auto& damage : {std::pair{0, 0x01}, std::pair{1, 0x91}}) {
    Bytes damaged = filler(20);
    put(damaged, 3, makeRecord(3));
    damaged[3 + damage.first] = static_cast<std::uint8_t>(damage.second);
    cases.push_back({"row 0 prefix damaged, other rows sound", damaged, {}});
  }
  // Row 1's prefix with 01 00 03 11826 bytes on is a record of its own,
  // overlapping the first; the walk does not jump past a found record.
  Bytes overlap = filler(3 + 146 + kRec + 5);
  put(overlap, 3, makeRecord(4));
  put(overlap, 3 + 146 + 11826, Bytes{0x01, 0x00, 0x03});
  cases.push_back({"overlapping", overlap, {4, 4 + 146}});

  for (const auto& c : cases) {
    scan(c.movie);
    EXPECT_EQ(found(), c.positions) << c.what;
    EXPECT_EQ(core.s.piccount, static_cast<int>(c.positions.size())) << c.what;
  }
}

TEST_F(ScannerTest, ASmallScanFromLogToDrawing) {
  Bytes movie = makeRecord(6);
  put(movie, movie.size(), filler(15));
  movie[39 * 146 + 1] = 0x91;  // row 40's prefix: found anyway, repaired in memory only
  scan(movie);

  EXPECT_EQ(core.log.text(),
            "Scanner:Trying to load scene.3mm, file is 11844 bytes long.\r\n"
            "Extract_3:Extracting 1 to memory(1)\r\n"
            "Extract_3:Done\r\n"
            "Scanner:Done\r\n"
            "Repairer:Starting repairs...\r\n"
            "Repairer:0.5pairs repaired.\r\n");
  EXPECT_EQ(core.s.moviefile, dir.file("scene.3mm"));
  EXPECT_EQ(core.s.posnum, 1);
  EXPECT_EQ(core.s.recordPosition(1), 1);
  // The position kept is a whole record's: its trailer lies 11826 bytes on.
  EXPECT_EQ(
      Bytes(movie.begin() + core.s.recordPosition(1) - 1 + 11826, movie.begin() + core.s.recordPosition(1) - 1 + 11829),
      (Bytes{0x01, 0x00, 0x03}));
  EXPECT_EQ(core.s.previewByte(1, 0, 0), 0);
  EXPECT_EQ(core.s.previewByte(1, 0, 1), 144);
  EXPECT_EQ(core.s.previewByte(1, 0, 2), movie[2]);
  EXPECT_EQ(core.s.previewByte(1, 80, 145), movie[11825]);
  EXPECT_EQ(core.s.previewByte(1, 39, 1), 144);
  EXPECT_EQ(testing::readFile(dir.file("scene.3mm")), movie);  // the scan never writes

  const std::vector<std::string> closing{
      "pagemax:0", "log:Scanner:Done", "log:Repairer:Starting repairs...", "log:Repairer:0.5pairs repaired.", "draw1",
      "cleargrid", "draw:0,0"};
  ASSERT_GE(host.events.size(), closing.size());
  const auto tail = host.events.end() - static_cast<std::ptrdiff_t>(closing.size());
  EXPECT_EQ(std::vector<std::string>(tail, host.events.end()), closing);
}

TEST_F(ScannerTest, PeriodicProgressInterleavesWithRecordsInPositionOrder) {
  // Length 30 x 1000: step 1000, updates at 1000, 2000, ..., 30000 with
  // setbar(k, 30), and the record at position 5000 reports setbar(5000, 30000)
  // right after the periodic update of its own position.
  Bytes movie = filler(30000);
  put(movie, 4999, makeRecord(7));
  scan(movie);

  const auto bar1 = [](int width) { return "bar1:" + std::to_string(width) + ".000000"; };
  std::vector<std::string> expected;
  for (int k = 1; k <= 30; ++k) {
    expected.push_back(bar1(static_cast<int>(3375 * k / 30.0) - 30));
    if (k == 5) expected.insert(expected.end(), {bar1(532), "log:Extract_3:Extracting 5000 to memory(1)"});
  }
  std::vector<std::string> seen;
  for (const auto& e : host.events)
    if (e.starts_with("bar1:") || e.starts_with("log:Extract_3:Extracting")) seen.push_back(e);
  EXPECT_EQ(seen, expected);
}

TEST_F(ScannerTest, EmptyAndTinyFilesGetNoProgressAndNoPreviews) {
  // Bytes that look like a signature's pieces, yet too few for a record.
  Bytes pieces;
  for (int k = 0; k < 4; ++k) pieces.insert(pieces.end(), {0x00, 0x90, 0x01, 0x00, 0x03});
  for (std::size_t n = 0; n <= 16; ++n) {
    host.events.clear();
    scan(Bytes(pieces.begin(), pieces.begin() + static_cast<std::ptrdiff_t>(n)));
    int progress = 0;
    for (const auto& e : host.events) progress += e.starts_with("bar1:");
    EXPECT_EQ(progress, n < 16 ? 0 : 16) << n;  // step 0 below 16 bytes
    EXPECT_EQ(core.s.piccount, 0);
    EXPECT_EQ(host.pageMaximum, -1);
  }
  EXPECT_NE(core.log.text().find("Scanner:Trying to load scene.3mm, file is 0 bytes long.\r\n"
                                 "Scanner:Done\r\n"
                                 "Repairer:Starting repairs...\r\n"
                                 "Repairer:No errors.\r\n"),
            std::string::npos);
}

TEST_F(ScannerTest, RecordsBeyondTheStoreAreCountedNotLoaded) {
  const Bytes movie = recordsBackToBack(260);
  scan(movie);
  EXPECT_EQ(core.s.piccount, 255);
  EXPECT_EQ(core.s.posnum, 255);
  EXPECT_EQ(core.s.recordPosition(255), 254 * kRec + 1);
  EXPECT_EQ(core.s.previewByte(255, 80, 145), movie[254 * kRec + 11825]);
  EXPECT_EQ(core.s.recordPosition(0), 0);
  EXPECT_EQ(core.s.previewByte(0, 0, 0), 0);
  EXPECT_EQ(host.pageMaximum, 21);
  EXPECT_NE(core.log.text().find("Extract_3:Extracting " + std::to_string(254 * kRec + 1) +
                                 " to memory(255)\r\nExtract_3:Done\r\n"
                                 "Scanner:Done\r\n"
                                 "Scanner:5 more previews found and not loaded (a movie holds at most 255 here).\r\n"
                                 "Repairer:Starting repairs...\r\nRepairer:No errors.\r\n"),
            std::string::npos);
  EXPECT_EQ(core.log.text().find("memory(256)"), std::string::npos);
}

TEST_F(ScannerTest, ASecondMovieStartsAfresh) {
  scan(recordsBackToBack(3), "first.3mm");
  Bytes second = filler(100);
  put(second, 100, makeRecord(9));
  scan(second, "second.3mm");
  EXPECT_EQ(core.s.moviefile, dir.file("second.3mm"));
  EXPECT_EQ(core.s.piccount, 1);
  EXPECT_EQ(core.s.posnum, 1);
  EXPECT_EQ(core.s.recordPosition(1), 101);
  EXPECT_EQ(core.s.previewByte(1, 80, 145), second[100 + 11825]);
}

TEST_F(ScannerTest, AMovieThatCannotBeOpenedChangesNothing) {
  scan(recordsBackToBack(2), "good.3mm");
  const auto events = host.events;
  const std::string log = core.log.text();

  const std::string missing = dir.file("missing.3mm");
  const auto failure = loadfile3(core, missing);
  ASSERT_FALSE(failure);
  EXPECT_EQ(failure.error().code, ErrorCode::NotFound);

  const auto folder = loadfile3(core, dir.path().string());
  ASSERT_FALSE(folder);
  EXPECT_EQ(folder.error().code, ErrorCode::IsDirectory);

  EXPECT_EQ(host.events, events);
  EXPECT_EQ(core.log.text(), log);
  EXPECT_EQ(core.s.moviefile, dir.file("good.3mm"));
  EXPECT_EQ(core.s.piccount, 2);
  EXPECT_EQ(core.s.posnum, 2);
}

}  // namespace
}  // namespace orvane
