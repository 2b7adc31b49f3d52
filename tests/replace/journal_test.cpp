// SPDX-License-Identifier: GPL-3.0-or-later
// The journal's format (a torn or damaged tail is ignored, what came before is
// kept) and the history read from it (what an undo or redo acts on next).
#include <gtest/gtest.h>

#include "replace/history.h"
#include "replace/journal_format.h"
#include "support/movie_builder.h"

// GCC 12 takes the variant's move of a mark for a read of a write's unset
// members when records are pushed here (a false maybe-uninitialized warning).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

namespace orvane {
namespace {

using journal::Action;
using journal::Mark;
using journal::Outcome;
using journal::WriteEntry;
using testing::Bytes;

WriteEntry write(std::uint64_t seq, Action action = Action::Replace, std::uint64_t target = 0, int preview = 1) {
  WriteEntry e{seq, 1700000000 + static_cast<std::int64_t>(seq), action, target, 50000, {}};
  e.scenes.push_back({preview, 1000 + seq, testing::filler(record::kTrailerOffset, 1),
                      testing::filler(record::kTrailerOffset, static_cast<std::uint32_t>(seq + 1))});
  return e;
}

Bytes fileOf(const std::vector<journal::Record>& records) {
  Bytes file = journal::encodeHeader();
  for (const auto& r : records) testing::put(file, file.size(), journal::encode(r));
  return file;
}

TEST(JournalFormat, TornOrDamagedTailIsIgnoredAndWhatCameBeforeIsKept) {
  const std::vector<journal::Record> records{write(1), Mark{2, 1, Outcome::Done}};
  const Bytes file = fileOf(records);
  auto parsed = journal::parse(file);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->records, records);
  EXPECT_EQ(parsed->validEnd, file.size());

  const std::size_t firstEnd = journal::kHeaderBytes + journal::encode(records[0]).size();
  for (std::size_t cut = 0; cut < file.size(); cut += cut < journal::kHeaderBytes ? 1 : 97) {
    parsed = journal::parse(std::span(file).first(cut));
    ASSERT_TRUE(parsed) << cut;  // a header cut short is an empty journal
    EXPECT_EQ(parsed->records.size(), cut >= firstEnd ? 1u : 0u) << cut;
    EXPECT_EQ(parsed->validEnd, cut >= firstEnd ? firstEnd : cut < journal::kHeaderBytes ? 0 : journal::kHeaderBytes);
  }

  Bytes damaged = file;
  damaged[journal::kHeaderBytes + 5000] ^= 0x20;  // inside the first record's old bytes
  EXPECT_TRUE(journal::parse(damaged)->records.empty());
  // A record out of sequence, or a mark of a write that is not there, ends the journal.
  EXPECT_EQ(journal::parse(fileOf({write(1), write(3)}))->records.size(), 1u);
  EXPECT_TRUE(journal::parse(fileOf({Mark{1, 1, Outcome::Done}}))->records.empty());

  EXPECT_FALSE(journal::parse(Bytes{'B', 'M', 0, 0}));  // not ours: never written to
}

TEST(JournalHistory, UndoTakesBackTheNewestAndRedoMakesAgainWhatANewReplacementDidNotEnd) {
  std::vector<journal::Record> records{write(1), Mark{2, 1, Outcome::Done},  //
                                       write(3), Mark{4, 3, Outcome::Done},  //
                                       write(5), Mark{6, 5, Outcome::TakenBack}};
  History h = readHistory(records);
  ASSERT_EQ(h.replacements.size(), 3u);
  EXPECT_EQ(h.replacements[2].state, ReplacementState::TakenBack);
  EXPECT_EQ(h.undoable->seq, 3u);
  EXPECT_EQ(h.redoable, nullptr);

  // Undo 3, then 1; an undo interrupted and taken back counts for nothing.
  for (const auto& r : std::vector<journal::Record>{write(7, Action::Undo, 3), Mark{8, 7, Outcome::Done},
                                                    write(9, Action::Undo, 1), Mark{10, 9, Outcome::Done},
                                                    write(11, Action::Redo, 1), Mark{12, 11, Outcome::TakenBack}})
    records.push_back(r);
  h = readHistory(records);
  EXPECT_EQ(h.replacements[0].state, ReplacementState::Undone);
  EXPECT_EQ(h.replacements[1].state, ReplacementState::Undone);
  EXPECT_EQ(h.undoable, nullptr);
  EXPECT_EQ(h.redoable->seq, 1u);  // the last one undone comes back first

  records.push_back(write(13, Action::Redo, 1));
  records.push_back(Mark{14, 13, Outcome::Done});
  h = readHistory(records);
  EXPECT_EQ(h.undoable->seq, 1u);
  EXPECT_EQ(h.redoable->seq, 3u);

  // A new replacement ends what could be made again; an unmarked one is listed as such.
  records.push_back(write(15, Action::Replace, 0, 4));
  records.push_back(Mark{16, 15, Outcome::Done});
  records.push_back(write(17));
  h = readHistory(records);
  EXPECT_EQ(h.undoable->seq, 15u);
  EXPECT_EQ(h.redoable, nullptr);
  EXPECT_EQ(h.replacements.back().state, ReplacementState::Unfinished);
  ASSERT_EQ(unmarkedWrites(records).size(), 1u);
  EXPECT_EQ(unmarkedWrites(records)[0]->seq, 17u);
}

}  // namespace
}  // namespace orvane
