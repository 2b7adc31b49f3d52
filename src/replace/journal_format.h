// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The journal's records, and the first version of its file format, which
// journals written by earlier releases still have: they are read as they are
// and written anew in the current format (journal_entry.h) at their next
// write. A journal holds, for one movie, every write Orvane made to it, each
// recorded before the movie was touched, and what became of each.
//
// File, version 1: a 16-byte header ("ORVANE-JOURNAL", then the format version as a
// 16-bit number), then records back to back. All numbers little-endian.
//
// Record: u32 length of the whole record, u32 kind, u64 sequence number (1 for
// the first record, one more for each next), the kind's fields, then a CRC-32
// of every byte before it in the record. A record whose length, sequence
// number or checksum does not hold, and everything after it, is a write that
// never completed and is ignored (the next record overwrites it).
//
//   kind 1, write: i64 time (seconds since 1970, UTC), u32 action (1 replace,
//     2 undo, 3 redo), u64 target (the replacement an undo or redo is about,
//     else 0), u64 the movie's length, u32 number of scenes (1..255), then per
//     scene: i32 preview number, u64 offset of the record's first byte, u32
//     byte count n, n bytes as they were, n bytes as written.
//   kind 2, mark: u64 the write's sequence number, u32 outcome (1 done, 2 taken
//     back, 3 left alone because someone else changed the scene meanwhile).
//
// A replacement of several scenes in one step is one write with several scenes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "shell/error.h"

namespace orvane::journal {

enum class Action : std::uint32_t { Replace = 1, Undo = 2, Redo = 3 };
enum class Outcome : std::uint32_t { Done = 1, TakenBack = 2, LeftAlone = 3 };

// One scene's part of a write: where its rows lie and their bytes before and
// after (the same number of each).
struct SceneChange {
  std::int32_t preview = 0;  // its number in the scan it was chosen from, for people to read
  std::uint64_t offset = 0;  // zero-based offset of the record's first byte
  std::vector<std::uint8_t> before, after;
  // How many bytes each of before and after holds, and the checksum of the
  // bytes found there before the write: known even while the bytes
  // themselves are not read (zero in a version 1 journal, which has none).
  std::uint32_t bytes = 0;
  std::uint32_t beforeChecksum = 0;

  bool operator==(const SceneChange&) const = default;
};

// A write to the movie, recorded before the movie is touched.
struct WriteEntry {
  std::uint64_t seq = 0;
  std::int64_t time = 0;
  Action action = Action::Replace;
  std::uint64_t target = 0;
  std::uint64_t movieLength = 0;
  std::vector<SceneChange> scenes;
  // What went in, for people to read: the picture's file name, or "folder
  // DIR" for previews put back from a folder; empty when not told.
  std::string label = {};

  bool operator==(const WriteEntry&) const = default;
};

// What became of a write. A later mark for the same write replaces an earlier one.
struct Mark {
  std::uint64_t seq = 0;
  std::uint64_t write = 0;
  Outcome outcome = Outcome::Done;

  bool operator==(const Mark&) const = default;
};

using Record = std::variant<WriteEntry, Mark>;

inline constexpr std::size_t kHeaderBytes = 16;
inline constexpr std::uint16_t kVersion = 1;
inline constexpr std::size_t kMaxScenes = 255;
// The longest record either version holds: 255 scenes of 2 x 11826 bytes,
// about 6 MB, and room to spare.
inline constexpr std::uint32_t kMaxEntryBytes = 8u << 20;

std::vector<std::uint8_t> encodeHeader();
// The record's bytes, its sequence number and checksum included.
std::vector<std::uint8_t> encode(const Record& record);

struct Parsed {
  std::vector<Record> records;
  std::uint64_t validEnd = 0;  // where the next record belongs: after the header and the last whole record
};

// Reads a journal file's bytes. An empty file is an empty journal; a file that
// does not start with the header is not a journal (JournalFailed).
Result<Parsed> parse(std::span<const std::uint8_t> file);

std::uint64_t sequenceOf(const Record& record);

// One version 1 record's whole bytes (its length, as its first four bytes
// say, and its checksum checked), or nothing when they do not hold one.
std::optional<Record> decodeRecord(std::span<const std::uint8_t> whole);
// The length a version 1 record's first four bytes give, or nothing when it
// cannot be one.
std::optional<std::uint32_t> recordLength(std::span<const std::uint8_t> front);
// How many bytes the sequence number, kind and length at a record's start take.
inline constexpr std::size_t kRecordFrontBytes = 16;

}  // namespace orvane::journal
