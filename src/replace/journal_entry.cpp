// SPDX-License-Identifier: GPL-3.0-or-later
#include "replace/journal_entry.h"

#include <algorithm>
#include <cstring>

#include "shell/checksum.h"

namespace orvane::journal {
namespace {

constexpr char kFileMagic[14] = {'O', 'R', 'V', 'A', 'N', 'E', '-', 'J', 'O', 'U', 'R', 'N', 'A', 'L'};
constexpr std::uint32_t kWriteKind = 1, kMarkKind = 2;
constexpr std::size_t kMaxLabelBytes = 1024;

void little(std::vector<std::uint8_t>& out, std::uint64_t v, int n) {
  for (int i = 0; i < n; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::uint64_t readLittle(const std::uint8_t* p, int n) {
  std::uint64_t v = 0;
  for (int i = 0; i < n; ++i) v |= std::uint64_t{p[i]} << (8 * i);
  return v;
}

void setLe32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Reads fields in order; once a read runs past the end every later one fails too.
class Fields {
 public:
  explicit Fields(std::span<const std::uint8_t> in) : in_(in) {}
  bool take(std::uint64_t& v, int n) {
    const auto size = static_cast<std::size_t>(n);
    if (failed_ || size > in_.size() - at_) return !(failed_ = true);
    v = readLittle(in_.data() + at_, n);
    at_ += size;
    return true;
  }
  template <class T>
  bool get(T& v) {
    std::uint64_t x = 0;
    if (!take(x, static_cast<int>(sizeof(T)))) return false;
    v = static_cast<T>(x);
    return true;
  }
  bool text(std::string& s, std::size_t n) {
    if (failed_ || n > in_.size() - at_) return !(failed_ = true);
    s.assign(reinterpret_cast<const char*>(in_.data() + at_), n);
    at_ += n;
    return true;
  }
  bool atEnd() const { return !failed_ && at_ == in_.size(); }

 private:
  std::span<const std::uint8_t> in_;
  std::size_t at_ = 0;
  bool failed_ = false;
};

}  // namespace

std::vector<std::uint8_t> encodeEntryFileHeader() {
  std::vector<std::uint8_t> out(kFileMagic, kFileMagic + sizeof kFileMagic);
  little(out, kEntryVersion, 2);
  return out;
}

std::optional<std::uint16_t> headerVersion(std::span<const std::uint8_t> first16) {
  if (first16.size() < kHeaderBytes || std::memcmp(first16.data(), kFileMagic, sizeof kFileMagic) != 0)
    return std::nullopt;
  return static_cast<std::uint16_t>(readLittle(first16.data() + sizeof kFileMagic, 2));
}

std::vector<std::uint8_t> encodeEntry(const Record& record) {
  std::vector<std::uint8_t> out(kEntryMagic, kEntryMagic + 4);
  little(out, 0, 4);  // head length, set below
  little(out, 0, 4);  // body length, set below
  const auto* write = std::get_if<WriteEntry>(&record);
  little(out, write ? kWriteKind : kMarkKind, 4);
  little(out, sequenceOf(record), 8);
  std::vector<std::uint8_t> body;
  if (write) {
    const std::string label = write->label.substr(0, kMaxLabelBytes);
    little(out, static_cast<std::uint64_t>(write->time), 8);
    little(out, static_cast<std::uint32_t>(write->action), 4);
    little(out, write->target, 8);
    little(out, write->movieLength, 8);
    little(out, label.size(), 2);
    out.insert(out.end(), label.begin(), label.end());
    little(out, write->scenes.size(), 4);
    for (const SceneChange& c : write->scenes) {
      little(out, static_cast<std::uint32_t>(c.preview), 4);
      little(out, c.offset, 8);
      little(out, c.before.size(), 4);
      little(out, crc32(c.before), 4);
      body.insert(body.end(), c.before.begin(), c.before.end());
      body.insert(body.end(), c.after.begin(), c.after.end());
    }
  } else {
    const auto& mark = std::get<Mark>(record);
    little(out, mark.write, 8);
    little(out, static_cast<std::uint32_t>(mark.outcome), 4);
  }
  const auto head = static_cast<std::uint32_t>(out.size() + 4);
  setLe32(out, 4, head);
  setLe32(out, 8, static_cast<std::uint32_t>(body.size() + 4));
  little(out, crc32(out), 4);
  const std::uint32_t bodyChecksum = crc32(body);
  out.insert(out.end(), body.begin(), body.end());
  little(out, bodyChecksum, 4);
  little(out, out.size() + 4, 4);
  return out;
}

std::optional<EntrySize> entrySize(std::span<const std::uint8_t> front) {
  if (front.size() < 12 || std::memcmp(front.data(), kEntryMagic, 4) != 0) return std::nullopt;
  EntrySize size{static_cast<std::uint32_t>(readLittle(front.data() + 4, 4)),
                 static_cast<std::uint32_t>(readLittle(front.data() + 8, 4))};
  if (size.head < kEntryHeadMinimum || size.head > kMaxHeadBytes || size.body < 4 || size.body > kMaxEntryBytes)
    return std::nullopt;
  return size;
}

std::optional<Record> decodeHead(std::span<const std::uint8_t> head) {
  const auto size = entrySize(head);
  if (!size || head.size() != size->head) return std::nullopt;
  if (crc32(head.first(head.size() - 4)) != readLittle(head.data() + head.size() - 4, 4)) return std::nullopt;
  Fields f(head.subspan(12, head.size() - 16));
  std::uint32_t kind = 0;
  std::uint64_t seq = 0;
  if (!f.get(kind) || !f.get(seq)) return std::nullopt;
  if (kind == kWriteKind) {
    WriteEntry e;
    e.seq = seq;
    std::uint32_t action = 0, scenes = 0;
    std::uint16_t labelBytes = 0;
    if (!f.get(e.time) || !f.get(action) || !f.get(e.target) || !f.get(e.movieLength) || !f.get(labelBytes) ||
        !f.text(e.label, labelBytes) || !f.get(scenes))
      return std::nullopt;
    if (action < 1 || action > 3 || scenes == 0 || scenes > kMaxScenes) return std::nullopt;
    e.action = static_cast<Action>(action);
    e.scenes.resize(scenes);
    std::uint64_t bodyBytes = 4;
    for (SceneChange& c : e.scenes) {
      if (!f.get(c.preview) || !f.get(c.offset) || !f.get(c.bytes) || !f.get(c.beforeChecksum)) return std::nullopt;
      bodyBytes += 2 * std::uint64_t{c.bytes};
    }
    if (!f.atEnd() || bodyBytes != size->body) return std::nullopt;
    return Record{std::move(e)};
  }
  if (kind == kMarkKind) {
    Mark m;
    m.seq = seq;
    std::uint32_t outcome = 0;
    if (!f.get(m.write) || !f.get(outcome) || outcome < 1 || outcome > 3 || !f.atEnd() || size->body != 4)
      return std::nullopt;
    m.outcome = static_cast<Outcome>(outcome);
    return Record{m};
  }
  return std::nullopt;
}

bool bodyHolds(std::span<const std::uint8_t> body) {
  return body.size() >= 4 && crc32(body.first(body.size() - 4)) == readLittle(body.data() + body.size() - 4, 4);
}

bool decodeBody(std::span<const std::uint8_t> body, WriteEntry& entry) {
  if (!bodyHolds(body)) return false;
  std::size_t at = 0;
  for (SceneChange& c : entry.scenes) {
    if (2 * std::size_t{c.bytes} > body.size() - 4 - at) return false;
    const auto* p = body.data() + at;
    c.before.assign(p, p + c.bytes);
    c.after.assign(p + c.bytes, p + 2 * std::size_t{c.bytes});
    at += 2 * std::size_t{c.bytes};
    if (crc32(c.before) != c.beforeChecksum) return false;
  }
  return at + 4 == body.size();
}

}  // namespace orvane::journal
