// SPDX-License-Identifier: GPL-3.0-or-later
#include "replace/journal_format.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <set>

#include "shell/checksum.h"

namespace orvane::journal {
namespace {

constexpr char kMagic[14] = {'O', 'R', 'V', 'A', 'N', 'E', '-', 'J', 'O', 'U', 'R', 'N', 'A', 'L'};
constexpr std::uint32_t kWriteKind = 1, kMarkKind = 2;
constexpr std::size_t kFrontBytes = 4 + 4 + 8;  // length, kind, sequence number
constexpr std::size_t kChecksumBytes = 4;
// Far above the largest write (255 scenes of 2 x 11826 bytes, about 6 MB): a
// larger length is a damaged one.
constexpr std::uint64_t kMaxRecordBytes = kMaxEntryBytes;

class Writer {
 public:
  void u16(std::uint16_t v) { little(v, 2); }
  void u32(std::uint32_t v) { little(v, 4); }
  void u64(std::uint64_t v) { little(v, 8); }
  void bytes(std::span<const std::uint8_t> b) { out.insert(out.end(), b.begin(), b.end()); }
  std::vector<std::uint8_t> out;

 private:
  void little(std::uint64_t v, int n) {
    for (int i = 0; i < n; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
};

// Reads fields in order; once a read runs past the end every later one fails too.
class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> in) : in_(in) {}
  bool u32(std::uint32_t& v) { return little(v, 4); }
  bool u64(std::uint64_t& v) { return little(v, 8); }
  bool i32(std::int32_t& v) {
    std::uint32_t u = 0;
    if (!u32(u)) return false;
    v = static_cast<std::int32_t>(u);
    return true;
  }
  bool i64(std::int64_t& v) {
    std::uint64_t u = 0;
    if (!u64(u)) return false;
    v = static_cast<std::int64_t>(u);
    return true;
  }
  bool bytes(std::vector<std::uint8_t>& b, std::size_t n) {
    if (n > in_.size() - at_) return false;
    b.assign(in_.begin() + static_cast<std::ptrdiff_t>(at_), in_.begin() + static_cast<std::ptrdiff_t>(at_ + n));
    at_ += n;
    return true;
  }
  bool atEnd() const { return at_ == in_.size(); }

 private:
  template <class T>
  bool little(T& v, std::size_t n) {
    if (n > in_.size() - at_) return false;
    std::uint64_t x = 0;
    for (std::size_t i = 0; i < n; ++i) x |= std::uint64_t{in_[at_ + i]} << (8 * i);
    at_ += n;
    v = static_cast<T>(x);
    return true;
  }
  std::span<const std::uint8_t> in_;
  std::size_t at_ = 0;
};

void encodeFields(Writer& w, const WriteEntry& e) {
  w.u64(static_cast<std::uint64_t>(e.time));
  w.u32(static_cast<std::uint32_t>(e.action));
  w.u64(e.target);
  w.u64(e.movieLength);
  w.u32(static_cast<std::uint32_t>(e.scenes.size()));
  for (const SceneChange& c : e.scenes) {
    w.u32(static_cast<std::uint32_t>(c.preview));
    w.u64(c.offset);
    w.u32(static_cast<std::uint32_t>(c.before.size()));
    w.bytes(c.before);
    w.bytes(c.after);
  }
}

void encodeFields(Writer& w, const Mark& m) {
  w.u64(m.write);
  w.u32(static_cast<std::uint32_t>(m.outcome));
}

bool knownAction(std::uint32_t a) { return a >= 1 && a <= 3; }
bool knownOutcome(std::uint32_t o) { return o >= 1 && o <= 3; }

bool decodeWrite(Reader& r, WriteEntry& e) {
  std::uint32_t action = 0, scenes = 0;
  if (!r.i64(e.time) || !r.u32(action) || !r.u64(e.target) || !r.u64(e.movieLength) || !r.u32(scenes)) return false;
  if (!knownAction(action) || scenes == 0 || scenes > kMaxScenes) return false;
  e.action = static_cast<Action>(action);
  e.scenes.resize(scenes);
  for (SceneChange& c : e.scenes) {
    std::uint32_t n = 0;
    if (!r.i32(c.preview) || !r.u64(c.offset) || !r.u32(n) || !r.bytes(c.before, n) || !r.bytes(c.after, n))
      return false;
  }
  return r.atEnd();
}

bool decodeMark(Reader& r, Mark& m) {
  std::uint32_t outcome = 0;
  if (!r.u64(m.write) || !r.u32(outcome) || !knownOutcome(outcome)) return false;
  m.outcome = static_cast<Outcome>(outcome);
  return r.atEnd();
}

std::uint32_t readLe32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

}  // namespace

std::vector<std::uint8_t> encodeHeader() {
  Writer w;
  w.bytes(std::span(reinterpret_cast<const std::uint8_t*>(kMagic), sizeof kMagic));
  w.u16(kVersion);
  return std::move(w.out);
}

std::uint64_t sequenceOf(const Record& record) {
  return std::visit([](const auto& r) { return r.seq; }, record);
}

std::vector<std::uint8_t> encode(const Record& record) {
  Writer w;
  w.u32(0);  // the length, filled in below
  w.u32(std::holds_alternative<WriteEntry>(record) ? kWriteKind : kMarkKind);
  w.u64(sequenceOf(record));
  std::visit([&w](const auto& r) { encodeFields(w, r); }, record);
  const auto length = static_cast<std::uint32_t>(w.out.size() + kChecksumBytes);
  for (int i = 0; i < 4; ++i) w.out[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(length >> (8 * i));
  w.u32(crc32(w.out));
  return std::move(w.out);
}

std::optional<Record> decodeRecord(std::span<const std::uint8_t> whole) {
  if (whole.size() < kFrontBytes + kChecksumBytes || readLe32(whole.data()) != whole.size()) return std::nullopt;
  const std::size_t length = whole.size();
  if (crc32(whole.first(length - kChecksumBytes)) != readLe32(&whole[length - kChecksumBytes])) return std::nullopt;
  Reader r(whole.subspan(4, length - 4 - kChecksumBytes));
  std::uint32_t kind = 0;
  std::uint64_t seq = 0;
  if (!r.u32(kind) || !r.u64(seq)) return std::nullopt;
  if (kind == kWriteKind) {
    WriteEntry e;
    e.seq = seq;
    if (!decodeWrite(r, e)) return std::nullopt;
    return Record{std::move(e)};
  }
  if (kind == kMarkKind) {
    Mark m;
    m.seq = seq;
    if (!decodeMark(r, m)) return std::nullopt;
    return Record{m};
  }
  return std::nullopt;
}

std::optional<std::uint32_t> recordLength(std::span<const std::uint8_t> front) {
  if (front.size() < 4) return std::nullopt;
  const std::uint32_t length = readLe32(front.data());
  if (length < kFrontBytes + kChecksumBytes || length > kMaxRecordBytes) return std::nullopt;
  return length;
}

Result<Parsed> parse(std::span<const std::uint8_t> file) {
  Parsed parsed;
  if (file.empty()) return parsed;
  const auto header = encodeHeader();
  // A header cut short by a crash while the journal was being created is an
  // empty journal; anything else that does not start like one is not ours.
  const std::size_t shown = std::min(file.size(), header.size());
  if (!std::equal(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(shown), header.begin()))
    return Error{ErrorCode::JournalFailed, "it is not an Orvane journal"};
  if (file.size() < header.size()) return parsed;

  std::size_t at = header.size();
  parsed.validEnd = at;
  std::set<std::uint64_t> writes;
  for (std::uint64_t expected = 1;; ++expected) {
    const std::size_t left = file.size() - at;
    if (left < kFrontBytes + kChecksumBytes) break;
    const std::uint32_t length = readLe32(&file[at]);
    if (length < kFrontBytes + kChecksumBytes || length > left || length > kMaxRecordBytes) break;
    auto record = decodeRecord(file.subspan(at, length));
    if (!record || sequenceOf(*record) != expected) break;
    if (const auto* m = std::get_if<Mark>(&*record); m && !writes.count(m->write)) break;
    if (std::holds_alternative<WriteEntry>(*record)) writes.insert(expected);
    parsed.records.push_back(std::move(*record));
    at += length;
    parsed.validEnd = at;
  }
  return parsed;
}

}  // namespace orvane::journal
