// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A movie's journal on disk: where it lives, reading it, and appending to it
// with every record flushed to stable storage before the append returns.
//
// It lives beside the movie as "<movie file name>.orvane-journal" (the
// clearest place for someone who moves movies around: take the journal along),
// or, when the movie's folder cannot be written to, in the user's state folder
// as "journals/<movie file name>-<16 hex digits>.orvane-journal", the digits
// naming the movie's full path. A journal that already exists in either place
// is used where it is, the one beside the movie first. Symbolic links to the
// movie are followed first, so a journal belongs to the file a link leads to.
//
// Only the user's own journal is used: a journal that is a link, not a
// regular file, another user's, or writable by others is neither read nor
// written (NotOwnFile), and neither is a file at a journal's name that is not
// a journal (JournalFailed); the movie can then be read but not written. A
// new journal is created as a new file (never through a link) that only its
// user can read and write.
//
// The journal is read entry by entry and never held whole: its records keep
// the writes' heads (what, where, when), and a write's bytes are read from the
// file when they are needed (whole). A damaged entry is skipped with a
// warning; the entries after it stay, and appends go after the last whole one.
// A journal of the first format is read as it is and written anew in the
// current one before its next append.
//
// Appends, and rewrites, are only made while the movie's writer's lock is held
// (MovieLock), so two programs never write it at once.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "replace/journal_entry.h"
#include "replace/journal_format.h"
#include "shell/error.h"
#include "shell/file_layer.h"

namespace orvane {

struct JournalPlaces {
  std::string beside;  // beside the movie
  std::string state;   // in the user's state folder; empty when there is none
};
JournalPlaces journalPlaces(const std::string& movie);

// How much of each entry a load reads.
enum class JournalRead {
  Heads,    // the heads alone: a write's bytes are checked when they are read
  Checked,  // every entry's bytes checked too (then let go): a damaged one is skipped now
  Whole,    // every entry's bytes kept in records()
};

// How much history a journal keeps: the newest `steps` replacements that can
// be undone or redone (undos and redos are not steps of their own), and no
// more than `bytes` on disk, whichever comes first; older entries are dropped
// whole.
struct JournalLimits {
  std::size_t steps = 100;
  std::uint64_t bytes = std::uint64_t{64} << 20;
};

class Journal {
 public:
  // Reads the movie's journal where one exists; a movie without one gets an
  // empty journal, created at its first append. A refused journal (see above)
  // is an error whose message names the file and why.
  static Result<Journal> load(FileLayer& files, const std::string& movie, JournalRead read = JournalRead::Heads);

  // Whether the movie's journal ends with a write that was never marked (an
  // interrupted one, to be settled): read from the journal's end alone, so
  // that opening a movie costs the same whatever its journal's length.
  // Refusals as load.
  static Result<bool> endsInterrupted(FileLayer& files, const std::string& movie);

  const std::vector<journal::Record>& records() const { return records_; }
  // The write with sequence number `seq`, or null.
  const journal::WriteEntry* write(std::uint64_t seq) const;
  // The write with sequence number `seq` with its scenes' bytes, read from
  // the journal and checked. A damaged one is dropped from records() with a
  // warning, and is an error (JournalFailed) naming where it lies.
  Result<journal::WriteEntry> whole(std::uint64_t seq);
  // Where the journal is; empty while none exists yet.
  const std::string& path() const { return path_; }
  // One line for each damaged stretch skipped, naming its position.
  const std::vector<std::string>& warnings() const { return warnings_; }
  // The journal's length on disk, as far as its whole entries go.
  std::uint64_t bytes() const { return end_; }

  // Appends a record, giving it the next sequence number, and flushes it;
  // when this append created the journal, its folder is flushed too, so the
  // new file survives a power cut. Returns the sequence number. On an error
  // the journal in memory is as it was and the record counts as not written.
  Result<std::uint64_t> append(journal::Record record);

  // Drops the oldest entries beyond `limits` by writing the journal anew
  // beside itself, flushing it, and renaming it over the old one: a crash at
  // any moment leaves the old journal or the new one, whole. Returns how many
  // replacements were dropped (0: nothing was rewritten).
  Result<std::size_t> prune(const JournalLimits& limits);

 private:
  // Where a record lies in the file.
  struct Place {
    std::uint64_t at = 0;
    std::uint64_t bytes = 0;      // the whole record's
    std::uint32_t headBytes = 0;  // current format: its head's; 0 for the first format
  };

  Journal(FileLayer& files, std::string movie) : files_(&files), movie_(std::move(movie)) {}
  static Result<std::unique_ptr<OpenFile>> openPlace(FileLayer& files, const std::string& movie, std::string& place);
  Status readAll(OpenFile& file, std::uint64_t length, JournalRead read);
  Status readFirstFormat(OpenFile& file, std::uint64_t length, JournalRead read);
  Status readEntries(OpenFile& file, std::uint64_t length, JournalRead read);
  bool take(journal::Record record, const Place& place, JournalRead read);
  Result<journal::WriteEntry> readWhole(std::size_t index);
  Status openForAppend();
  Status rewrite(const std::vector<bool>& keep);
  OpenFile& reader() { return out_ ? *out_ : *in_; }

  FileLayer* files_;
  std::string movie_;
  std::string path_;
  std::unique_ptr<OpenFile> in_;   // the journal as read
  std::unique_ptr<OpenFile> out_;  // the journal for appending
  std::vector<journal::Record> records_;
  std::vector<Place> places_;  // one for each record
  std::vector<std::string> warnings_;
  std::uint16_t version_ = journal::kEntryVersion;
  std::uint64_t end_ = 0;      // where the next record goes
  std::uint64_t lastSeq_ = 0;  // the largest sequence number so far
  bool lost_ = false;          // damaged beyond what is searched: never written to
};

}  // namespace orvane
