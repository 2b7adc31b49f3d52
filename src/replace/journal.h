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
// is used where it is, the one beside the movie first. Symbolic links are
// followed first, so a journal belongs to the file a link leads to.
//
// Appends are only made while the movie's writer's lock is held (MovieLock),
// so two programs never append at once.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "replace/journal_format.h"
#include "shell/error.h"
#include "shell/file_layer.h"

namespace orvane {

struct JournalPlaces {
  std::string beside;  // beside the movie
  std::string state;   // in the user's state folder; empty when there is none
};
JournalPlaces journalPlaces(const std::string& movie);

class Journal {
 public:
  // Reads the movie's journal where one exists; a movie without one gets an
  // empty journal, created at its first append. A file there that is not a
  // journal, or cannot be read, is an error (JournalFailed).
  static Result<Journal> load(FileLayer& files, const std::string& movie);

  const std::vector<journal::Record>& records() const { return records_; }
  // The write with sequence number `seq`, or null.
  const journal::WriteEntry* write(std::uint64_t seq) const;
  // Where the journal is; empty while none exists yet.
  const std::string& path() const { return path_; }

  // Appends a record, giving it the next sequence number, and flushes it;
  // when this append created the journal, its folder is flushed too, so the
  // new file survives a power cut. Returns the sequence number. On an error
  // the journal in memory is as it was and the record counts as not written.
  Result<std::uint64_t> append(journal::Record record);

 private:
  Journal(FileLayer& files, std::string movie) : files_(&files), movie_(std::move(movie)) {}
  Status openForAppend();

  FileLayer* files_;
  std::string movie_;
  std::string path_;
  std::unique_ptr<OpenFile> out_;
  std::vector<journal::Record> records_;
  std::uint64_t end_ = 0;  // where the next record goes
};

}  // namespace orvane
