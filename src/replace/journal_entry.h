// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The journal file's current format (version 2). Every entry stands on its
// own: it starts with a magic number and its lengths and ends with its
// length again, and it has two checksums, one of its head (what the entry is)
// and one of its body (the scenes' bytes). So a damaged entry costs only
// itself: the reader finds the next entry after it by its magic, and reads
// the last entry from the file's end without reading the rest. And the heads
// alone tell the whole history, so listing it or finding what to undo reads
// a few hundred bytes an entry, whatever the scenes weigh.
//
// File: a 16-byte header ("ORVANE-JOURNAL", then the version 2 as a 16-bit
// number), then entries back to back. All numbers little-endian.
//
// Entry: the head, then the body, then u32 the whole entry's length.
//   head: u32 magic "ORVJ", u32 head length (from the magic to its checksum,
//     both included), u32 body length (its checksum included), u32 kind,
//     u64 sequence number (larger than every earlier entry's), the kind's
//     fields, u32 CRC-32 of the head's bytes before it.
//   kind 1, write: i64 time, u32 action (1 replace, 2 undo, 3 redo), u64
//     target (the replacement an undo or redo is about, else 0), u64 the
//     movie's length, u16 label length n, n bytes of label (UTF-8: what went
//     in), u32 number of scenes (1..255), then per scene: i32 preview number,
//     u64 offset of the record's first byte, u32 byte count, u32 CRC-32 of the
//     bytes found there before the write.
//   kind 2, mark: u64 the write's sequence number, u32 outcome (1 done, 2
//     taken back, 3 left alone).
//   body: per scene, its bytes as they were, then its bytes as written; then
//     u32 CRC-32 of the body's bytes before it. A mark's body is the checksum
//     alone.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "replace/journal_format.h"

namespace orvane::journal {

inline constexpr std::uint16_t kEntryVersion = 2;
inline constexpr std::size_t kEntryHeadMinimum = 4 + 4 + 4 + 4 + 8 + 4;
inline constexpr std::size_t kMaxHeadBytes = 64 * 1024;
inline constexpr std::size_t kEntryTailBytes = 4;  // the whole entry's length, at its end
inline constexpr std::uint8_t kEntryMagic[4] = {'O', 'R', 'V', 'J'};

// The file header of the current version.
std::vector<std::uint8_t> encodeEntryFileHeader();
// The version a file's first 16 bytes name, or nothing when they are not a
// journal's header.
std::optional<std::uint16_t> headerVersion(std::span<const std::uint8_t> first16);

// The whole entry's bytes. A write's scenes must hold their bytes.
std::vector<std::uint8_t> encodeEntry(const Record& record);

// What an entry's first bytes say of its size, once the magic and lengths
// are plausible; nothing otherwise.
struct EntrySize {
  std::uint32_t head = 0, body = 0;
  std::uint64_t whole() const { return std::uint64_t{head} + body + kEntryTailBytes; }
};
std::optional<EntrySize> entrySize(std::span<const std::uint8_t> front);

// The record an entry's head describes (a write's scenes without their
// bytes, their sizes and checksums set), or nothing when the head's checksum
// or fields do not hold. `head` is the whole head.
std::optional<Record> decodeHead(std::span<const std::uint8_t> head);

// Fills a write's scene bytes from its body (checksum included); false when
// the body does not hold, or does not fit the head.
bool decodeBody(std::span<const std::uint8_t> body, WriteEntry& entry);
// Whether a body's checksum holds (a mark's, or a write's not needed now).
bool bodyHolds(std::span<const std::uint8_t> body);

}  // namespace orvane::journal
