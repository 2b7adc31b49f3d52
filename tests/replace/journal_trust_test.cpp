// SPDX-License-Identifier: GPL-3.0-or-later
// The journal trusts only what its user wrote: journals that are links, pipes,
// other users' or writable by others are refused, entries that point
// anywhere but at a record's rows write nothing, a huge or damaged journal
// costs neither the program nor the rest of the history, a journal of the
// first format is read and written anew, and the history is pruned.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "replace/history.h"
#include "replace/journal.h"
#include "replace/journal_entry.h"
#include "replace/prune.h"
#include "replace/scene_writer.h"
#include "support/bmp_fixture.h"
#include "support/fake_host.h"
#include "support/movie_builder.h"
#include "support/pass_through_files.h"
#include "workflow/history_steps.h"
#include "workflow/load_picture.h"
#include "workflow/open_movie.h"

namespace orvane {
namespace {

using journal::Action;
using journal::Mark;
using journal::Outcome;
using journal::WriteEntry;
using testing::Bytes;

constexpr int kPreviews = 20;
std::size_t at(int n) { return 500 + static_cast<std::size_t>(n - 1) * (record::kRecordBytes + 37); }

Bytes rowsOf(const Bytes& record) { return Bytes(record.begin(), record.begin() + record::kTrailerOffset); }
Bytes bytesAt(const Bytes& m, std::size_t from, std::size_t n) {
  return Bytes(m.begin() + static_cast<std::ptrdiff_t>(from), m.begin() + static_cast<std::ptrdiff_t>(from + n));
}

struct JournalTrustTest : ::testing::Test {
  testing::FakeHost host;
  Core core{host};
  testing::TempDir dir{testing::memoryFolder()};
  std::string movie = dir.file("m.3mm");
  std::string journalPath = movie + ".orvane-journal";
  Bytes original;

  void SetUp() override {
    original = testing::filler(at(kPreviews) + record::kRecordBytes + 300, 5);
    for (int n = 1; n <= kPreviews; ++n) testing::put(original, at(n), testing::makeRecord(n));
    reopen(original);
  }
  void reopen(const Bytes& bytes) {
    std::filesystem::remove(journalPath);
    testing::writeFile(movie, bytes);
    open();
  }
  void open() {
    host.lines.clear();
    host.boxes.clear();
    ASSERT_TRUE(loadfile3(core, movie));
    ASSERT_EQ(core.s.piccount, kPreviews);
  }
  void usePicture(int seed) {
    acceptPicture(core, testing::pictureRows([seed](int x, int y) { return testing::seededPixel(x, y, seed); }));
  }
  bool logged(const std::string& part) const {
    for (const auto& line : host.lines)
      if (line.find(part) != std::string::npos) return true;
    return false;
  }
  History history(JournalRead read = JournalRead::Heads) {
    const auto journal = Journal::load(systemFileLayer(), movie, read);
    EXPECT_TRUE(journal) << (journal ? "" : journal.error().message);
    records = journal ? journal->records() : std::vector<journal::Record>{};
    warnings = journal ? journal->warnings() : std::vector<std::string>{};
    return readHistory(records);
  }
  std::vector<journal::Record> records;
  std::vector<std::string> warnings;
};

// A journal of the current format holding `records` (their bytes given).
Bytes journalOf(const std::vector<journal::Record>& records) {
  Bytes file = journal::encodeEntryFileHeader();
  for (const auto& r : records) testing::put(file, file.size(), journal::encodeEntry(r));
  return file;
}

// The attacker's entry: a torn-looking write of `n` bytes at `offset`, whose
// old bytes are the attacker's and whose new bytes match the movie there but
// for the first, which matches the old: recovery taking it back writes the
// attacker's bytes.
WriteEntry planted(const Bytes& movie, std::uint64_t offset, std::size_t n, std::uint64_t seq = 1) {
  WriteEntry e{seq, 1700000000, Action::Replace, 0, movie.size(), {}};
  Bytes now(n, 0);
  for (std::size_t i = 0; i < n && offset + i < movie.size(); ++i) now[i] = movie[offset + i];
  Bytes before(n, 0xEE), after = now;
  before[0] = now[0];
  after[0] = static_cast<std::uint8_t>(now[0] ^ 0x55);
  e.scenes.push_back({1, offset, before, after});
  return e;
}

TEST_F(JournalTrustTest, AJournalThatIsNotTheUsersOwnIsNeitherReadNorWrittenAndTheMovieStaysReadable) {
  const Bytes attack = [&] {
    Bytes j = journal::encodeHeader();  // the first format, as journals are today
    testing::put(j, j.size(), journal::encode(planted(original, 0, 92)));
    return j;
  }();
  const std::string elsewhere = dir.file("created-elsewhere");
  const std::string other = dir.file("other.3mm.orvane-journal");
  struct Attack {
    const char* what;
    std::function<void()> plant;
  };
  std::vector<Attack> attacks{
      {"group-writable", [&] { testing::writeFile(journalPath, attack), ::chmod(journalPath.c_str(), 0660); }},
      {"world-writable and empty", [&] { testing::writeFile(journalPath, {}), ::chmod(journalPath.c_str(), 0666); }},
      {"a dangling link", [&] { std::filesystem::create_symlink(elsewhere, journalPath); }},
      {"a link to another movie's journal",
       [&] { testing::writeFile(other, attack), std::filesystem::create_symlink(other, journalPath); }},
      {"a pipe", [&] { ASSERT_EQ(::mkfifo(journalPath.c_str(), 0600), 0); }},
  };
  if (::geteuid() == 0)
    attacks.push_back({"another user's", [&] {
                         testing::writeFile(journalPath, attack);
                         ::chmod(journalPath.c_str(), 0600);
                         ASSERT_EQ(::chown(journalPath.c_str(), 65534, 65534), 0);
                       }});
  else
    std::cout << "[ note     ] not root: a journal owned by another user is not tried\n";

  for (const Attack& a : attacks) {
    SCOPED_TRACE(a.what);
    std::filesystem::remove(journalPath);
    a.plant();
    open();  // the scan works
    EXPECT_TRUE(logged("The journal " + journalPath + " was refused (")) << host.lines.size();
    usePicture(3);
    EXPECT_FALSE(writeBufferToScene(core, 2));
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_NE(host.boxes[0].text.find(journalPath), std::string::npos) << host.boxes[0].text;
    EXPECT_FALSE(undoReplace(core));
    EXPECT_EQ(testing::readFile(movie), original);
    EXPECT_FALSE(std::filesystem::exists(elsewhere));
    if (std::filesystem::exists(other)) {
      EXPECT_EQ(testing::readFile(other), attack);
    }
  }

  // A file at the journal's name that is no journal is never written to.
  std::filesystem::remove(journalPath);
  testing::writeFile(journalPath, {'B', 'M', 1, 2, 3});
  ::chmod(journalPath.c_str(), 0600);
  open();
  EXPECT_FALSE(writeBufferToScene(core, 2));
  EXPECT_NE(host.boxes.at(0).text.find("not an Orvane journal"), std::string::npos);
  EXPECT_EQ(testing::readFile(journalPath), (Bytes{'B', 'M', 1, 2, 3}));

  // A new journal is the user's alone.
  std::filesystem::remove(journalPath);
  open();
  EXPECT_TRUE(writeBufferToScene(core, 2));
  struct stat st {};
  ASSERT_EQ(::lstat(journalPath.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(JournalTrustTest, EntriesThatDoNotLieOnARecordsRowsWriteNothing) {
  // Unmarked entries of the user's own journal at the movie's header, a short
  // one, the middle of a record, past the end: each left alone, and told.
  const std::vector<std::pair<std::uint64_t, std::size_t>> places{{0, 92},
                                                                  {0, record::kTrailerOffset},
                                                                  {at(3) + 5, record::kTrailerOffset},
                                                                  {original.size() - 100, record::kTrailerOffset}};
  for (const auto& [offset, n] : places) {
    SCOPED_TRACE(offset);
    testing::writeFile(journalPath, journalOf({planted(original, offset, n)}));
    ::chmod(journalPath.c_str(), 0600);
    open();
    EXPECT_TRUE(logged("was left alone: scene preview 1 does not lie on a scene preview's record"));
    EXPECT_EQ(testing::readFile(movie), original);
  }

  // A planted "done" replacement whose new bytes are what the movie holds at
  // its header: the undo refuses.
  WriteEntry done = planted(original, 0, record::kTrailerOffset);
  done.scenes[0].after = bytesAt(original, 0, record::kTrailerOffset);
  testing::writeFile(journalPath, journalOf({done, Mark{2, 1, Outcome::Done}}));
  ::chmod(journalPath.c_str(), 0600);
  open();
  EXPECT_FALSE(undoReplace(core));
  EXPECT_NE(host.boxes.at(0).text.find("does not lie on a scene preview's record"), std::string::npos);
  EXPECT_EQ(testing::readFile(movie), original);

  // A real write torn half-way, then bytes added to the movie's end: the
  // length decides nothing, the scene gets its old rows back.
  const Bytes newRows = rowsOf(testing::makeRecord(77));
  WriteEntry real{1, 1700000000, Action::Replace, 0, original.size(), {}};
  real.scenes.push_back({4, at(4), rowsOf(bytesAt(original, at(4), record::kRecordBytes)), newRows});
  Bytes torn = original;
  std::copy(newRows.begin(), newRows.begin() + 5000, torn.begin() + static_cast<std::ptrdiff_t>(at(4)));
  torn.insert(torn.end(), 4096, 0x42);
  testing::writeFile(movie, torn);
  testing::writeFile(journalPath, journalOf({real}));
  ::chmod(journalPath.c_str(), 0600);
  open();
  EXPECT_TRUE(logged("was taken back"));
  Bytes expected = original;
  expected.insert(expected.end(), 4096, 0x42);
  EXPECT_EQ(testing::readFile(movie), expected);
}

TEST_F(JournalTrustTest, AHugeSparseJournalCostsNeitherTheProgramNorItsMemory) {
  for (const bool current : {true, false}) {
    SCOPED_TRACE(current);
    testing::writeFile(journalPath, current ? journal::encodeEntryFileHeader() : journal::encodeHeader());
    ::chmod(journalPath.c_str(), 0600);
    if (::truncate(journalPath.c_str(), std::int64_t{1} << 40) != 0) GTEST_SKIP() << "no sparse 1 TiB file here";
    open();  // the scan works, and nothing ran out of memory
    usePicture(4);
    // Nothing whole in a terabyte of zeros: not written to (the current
    // format), or written anew with nothing lost (the first, which ends at
    // its first record that does not hold).
    EXPECT_EQ(writeBufferToScene(core, 1).ok(), !current);
    if (current)
      EXPECT_EQ(testing::readFile(movie), original);
    else
      EXPECT_LT(std::filesystem::file_size(journalPath), 100000u);
    std::filesystem::remove(journalPath);
    reopen(original);
  }
}

TEST_F(JournalTrustTest, AFlippedByteCostsOneEntryAndEveryOtherStaysListedAndUndoable) {
  for (int n = 1; n <= kPreviews; ++n) {
    usePicture(100 + n);
    ASSERT_TRUE(writeBufferToScene(core, n));
  }
  // Each write is followed by its mark; the writes are the even entries.
  Bytes j = testing::readFile(journalPath);
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i + 4 <= j.size(); ++i)
    if (std::equal(std::begin(journal::kEntryMagic), std::end(journal::kEntryMagic),
                   j.begin() + static_cast<std::ptrdiff_t>(i)))
      starts.push_back(i);
  ASSERT_EQ(starts.size(), 2u * kPreviews);
  j[starts[0] + 3000] ^= 0x10;   // the first write's bytes
  j[starts[18] + 20] ^= 0x01;    // a middle write's head
  j[starts[38] + 9000] ^= 0x80;  // the last write's bytes
  testing::writeFile(journalPath, j);

  auto h = history(JournalRead::Checked);
  EXPECT_EQ(h.replacements.size(), kPreviews - 3u);
  EXPECT_EQ(warnings.size(), 3u);
  for (const auto& w : warnings) EXPECT_NE(w.find("is damaged"), std::string::npos) << w;

  // Appending goes after everything readable, losing nothing.
  open();
  usePicture(300);
  ASSERT_TRUE(writeBufferToScene(core, 10));
  EXPECT_EQ(history(JournalRead::Checked).replacements.size(), kPreviews - 2u);
  // Every step listed can be undone; the damaged ones stay in the movie.
  for (int i = 0; i < kPreviews - 2; ++i) ASSERT_TRUE(undoReplace(core)) << i << ": " << host.boxes.back().text;
  Bytes expected = testing::readFile(movie);
  for (int n = 1; n <= kPreviews; ++n)
    if (n != 1 && n != 10 && n != 20) testing::put(expected, at(n), testing::makeRecord(n));
  EXPECT_EQ(testing::readFile(movie), expected);
  for (int n : {1, 20}) EXPECT_NE(bytesAt(expected, at(n), 100), bytesAt(original, at(n), 100));
}

TEST_F(JournalTrustTest, AJournalOfTheFirstFormatIsReadAndWrittenAnewAtTheNextWrite) {
  // Three replacements recorded by an earlier release, in the movie.
  Bytes v1 = journal::encodeHeader(), movieNow = original;
  std::uint64_t seq = 1;
  for (int n = 1; n <= 3; ++n) {
    const Bytes newRows = rowsOf(testing::makeRecord(50 + n));
    WriteEntry e{seq++, 1700000000 + n, Action::Replace, 0, original.size(), {}};
    e.scenes.push_back({n, at(n), rowsOf(bytesAt(original, at(n), record::kRecordBytes)), newRows});
    testing::put(v1, v1.size(), journal::encode(e));
    testing::put(v1, v1.size(), journal::encode(Mark{seq++, e.seq, Outcome::Done}));
    testing::put(movieNow, at(n), newRows);
  }
  testing::writeFile(journalPath, v1);
  ::chmod(journalPath.c_str(), 0600);
  testing::writeFile(movie, movieNow);
  open();
  EXPECT_EQ(history().replacements.size(), 3u);
  ASSERT_TRUE(undoReplace(core));
  EXPECT_EQ(journal::headerVersion(testing::readFile(journalPath)), journal::kEntryVersion);
  const auto h = history(JournalRead::Checked);
  ASSERT_EQ(h.replacements.size(), 3u);
  EXPECT_EQ(h.replacements[2].state, ReplacementState::Undone);
  ASSERT_TRUE(undoReplace(core));
  ASSERT_TRUE(undoReplace(core));
  EXPECT_EQ(testing::readFile(movie), original);
}

TEST_F(JournalTrustTest, TheHistoryKeepsTheNewestHundredStepsAndPruningOnRequestKeepsFewer) {
  Bytes after50;
  for (int i = 1; i <= 150; ++i) {
    usePicture(1000 + i);
    ASSERT_TRUE(writeBufferToScene(core, 1 + i % kPreviews)) << i;
    if (i == 50) after50 = testing::readFile(movie);
  }
  EXPECT_EQ(history().replacements.size(), 100u);
  // The same picture again is no step at all.
  const auto before = testing::readFile(journalPath);
  ASSERT_TRUE(writeBufferToScene(core, 1 + 150 % kPreviews));
  EXPECT_TRUE(logged("already holds this picture: nothing was written."));
  EXPECT_EQ(testing::readFile(journalPath), before);

  for (int i = 0; i < 100; ++i) ASSERT_TRUE(undoReplace(core)) << i;
  EXPECT_FALSE(undoReplace(core));
  EXPECT_EQ(testing::readFile(movie), after50);

  for (int i = 0; i < 30; ++i) ASSERT_TRUE(redoReplace(core)) << i;
  const auto dropped = pruneHistory(core, movie, JournalLimits{10, JournalLimits{}.bytes});
  ASSERT_TRUE(dropped);
  EXPECT_EQ(*dropped, 90u);
  const auto h = history(JournalRead::Checked);
  EXPECT_EQ(h.replacements.size(), 10u);
  EXPECT_TRUE(warnings.empty());
}

// Counts every call that reaches the disk, and kills the process just before
// call number `killAt`.
struct RewriteKiller final : testing::PassThroughFiles {
  int killAt = -1;
  int steps = 0;
  void step() {
    if (steps++ == killAt) ::raise(SIGKILL);
  }
  struct File final : testing::PassThroughFile {
    RewriteKiller& k;
    File(RewriteKiller& killer, std::unique_ptr<OpenFile> f) : PassThroughFile(std::move(f)), k(killer) {}
    Result<std::size_t> writeAt(std::uint64_t a, std::span<const std::uint8_t> d) override {
      return k.step(), real().writeAt(a, d);
    }
    Status flush() override { return k.step(), real().flush(); }
  };
  std::unique_ptr<OpenFile> wrap(std::unique_ptr<OpenFile> real) override {
    return std::make_unique<File>(*this, std::move(real));
  }
  Status renameOver(const std::string& from, const std::string& to) override {
    return step(), FileLayer::renameOver(from, to);
  }
  Status removeName(const std::string& path) override { return step(), FileLayer::removeName(path); }
  Result<std::unique_ptr<OpenFile>> createOwn(const std::string& path) override {
    step();
    auto made = systemFileLayer().createOwn(path);
    if (!made) return made.error();
    return wrap(std::move(*made));
  }
  Status flushFolder(const std::string& f) override { return step(), PassThroughFiles::flushFolder(f); }
};

TEST_F(JournalTrustTest, AKillAtEveryStepOfThePruningRewriteLeavesTheOldJournalOrTheNewWhole) {
  for (int n = 1; n <= 8; ++n) {
    usePicture(200 + n);
    ASSERT_TRUE(writeBufferToScene(core, n));
  }
  const Bytes oldJournal = testing::readFile(journalPath), movieNow = testing::readFile(movie);
  Bytes newJournal;
  for (int killAt = 0;; ++killAt) {
    testing::writeFile(journalPath, oldJournal);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      RewriteKiller files;
      files.killAt = killAt;
      const auto dropped = pruneHistory(core, movie, JournalLimits{3, JournalLimits{}.bytes}, files);
      ::_exit(dropped && *dropped == 5 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    const std::size_t listed = history(JournalRead::Checked).replacements.size();
    EXPECT_TRUE(warnings.empty()) << killAt;
    EXPECT_EQ(testing::readFile(movie), movieNow);
    if (WIFEXITED(status)) {
      ASSERT_EQ(WEXITSTATUS(status), 0);
      EXPECT_EQ(listed, 3u);
      break;
    }
    EXPECT_TRUE(listed == 8u || listed == 3u) << killAt << ": " << listed;
    if (listed == 8u) {
      EXPECT_EQ(testing::readFile(journalPath), oldJournal) << killAt;
    }
    ASSERT_LT(killAt, 200);
  }
  // A rewrite left behind by a kill is cleared by the next one.
  open();
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(undoReplace(core)) << i;
}

}  // namespace
}  // namespace orvane
