// SPDX-License-Identifier: GPL-3.0-or-later
#include "replace/journal.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <optional>
#include <set>
#include <span>
#include <system_error>

#include "replace/history.h"
#include "shell/checksum.h"
#include "shell/platform.h"

namespace orvane {
namespace {

using journal::Record;
using journal::WriteEntry;

constexpr const char* kSuffix = ".orvane-journal";
constexpr const char* kRewriteSuffix = ".rewrite";
// A stretch of a damaged journal is searched for the next entry's magic in
// pieces of this size, up to a limit: beyond it the rest of the journal is
// taken as lost (a file of that much junk is no journal worth searching).
constexpr std::size_t kSearchBytes = 1 << 20;
constexpr std::uint64_t kSearchLimit = std::uint64_t{64} << 20;
// An interrupted write is the journal's last whole entry, and what may follow
// it is one append cut short: the end of a journal this long tells whether
// one is waiting.
constexpr std::uint64_t kTailWindow = 2 * std::uint64_t{journal::kMaxEntryBytes} + (1 << 20);
// Enough for the head of nearly every entry in one read.
constexpr std::size_t kFrontRead = 4096;

std::filesystem::path fromUtf8(const std::string& path) {
  return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

std::string toUtf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string folderOf(const std::string& path) {
  const std::string folder = toUtf8(fromUtf8(path).parent_path());
  return folder.empty() ? "." : folder;
}

// FNV-1a, 64 bits: a short stable name for a long path.
std::uint64_t fnv1a(const std::string& text) {
  std::uint64_t h = 14695981039346656037ull;
  for (const char c : text) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ull;
  }
  return h;
}

Error cannotWrite(const std::string& path, const std::string& why) {
  return {ErrorCode::JournalFailed, "The journal " + path + " could not be written (" + why + ")."};
}

Error cannotRead(const std::string& path, const std::string& why) {
  return {ErrorCode::JournalFailed, "The journal " + path + " could not be read (" + why + ")."};
}

Error refused(const std::string& path, const std::string& why) {
  return {ErrorCode::NotOwnFile, "The journal " + path + " was refused (" + why +
                                     "): Orvane uses only a journal of your own that nobody else can change. The "
                                     "movie can be read, but nothing is written to it until that file is removed."};
}

// Reads exactly out.size() bytes at `at`; false at the file's end or an error.
Result<bool> readExactly(OpenFile& file, std::uint64_t at, std::span<std::uint8_t> out) {
  const auto got = file.readAt(at, out);
  if (!got) return got.error();
  return *got == out.size();
}

std::uint32_t le32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

// Lets a write's scene bytes go, keeping their count and the old bytes'
// checksum.
void keepHeadOnly(WriteEntry& e) {
  for (auto& scene : e.scenes) {
    if (scene.bytes == 0) scene.bytes = static_cast<std::uint32_t>(scene.before.size());
    if (scene.beforeChecksum == 0 && !scene.before.empty()) scene.beforeChecksum = crc32(scene.before);
    std::vector<std::uint8_t>().swap(scene.before);
    std::vector<std::uint8_t>().swap(scene.after);
  }
}

// A whole entry found at a place of the journal, with its sizes.
struct FoundEntry {
  Record record;
  std::uint64_t whole = 0;  // the entry's bytes, head, body and length word
  std::uint32_t head = 0;
};

// The entry at `at` (of a journal `length` bytes long), when one lies there
// whole and decodes; none when the bytes there are no such entry. Its body
// is read and checked unless only the heads of writes are asked for. `front`
// and `body` are buffers kept from one entry to the next.
Result<std::optional<FoundEntry>> entryAt(OpenFile& file, std::uint64_t at, std::uint64_t length, JournalRead read,
                                          std::vector<std::uint8_t>& front, std::vector<std::uint8_t>& body) {
  const auto none = [](const Result<bool>& got) -> Result<std::optional<FoundEntry>> {
    if (!got) return got.error();
    return std::optional<FoundEntry>();
  };
  front.resize(kFrontRead);
  const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kFrontRead, length - at));
  const auto got = file.readAt(at, std::span(front.data(), want));
  if (!got) return got.error();
  const auto size = journal::entrySize(std::span(front.data(), *got));
  if (!size || size->whole() > length - at) return std::optional<FoundEntry>();
  if (size->head > *got) {
    front.resize(size->head);
    if (auto all = readExactly(file, at, std::span(front.data(), size->head)); !all || !*all) return none(all);
  }
  auto record = journal::decodeHead(std::span(front.data(), size->head));
  if (!record) return std::optional<FoundEntry>();
  std::uint8_t tail[4];
  if (auto t = readExactly(file, at + size->whole() - 4, tail); !t || !*t) return none(t);
  if (le32(tail) != size->whole()) return std::optional<FoundEntry>();
  auto* e = std::get_if<WriteEntry>(&*record);
  if (read != JournalRead::Heads || !e) {
    body.resize(size->body);
    if (auto b = readExactly(file, at + size->head, body); !b || !*b) return none(b);
    if (e ? !journal::decodeBody(body, *e) : !journal::bodyHolds(body)) return std::optional<FoundEntry>();
  }
  return std::optional<FoundEntry>(FoundEntry{std::move(*record), size->whole(), size->head});
}

// Where the next entry's magic number lies after `at`: the journal's length
// when there is none; none when none lies within kSearchLimit bytes.
Result<std::optional<std::uint64_t>> nextMagicAfter(OpenFile& file, std::uint64_t at, std::uint64_t length) {
  std::vector<std::uint8_t> piece(kSearchBytes + 3);
  for (std::uint64_t from = at + 1; from < length; from += kSearchBytes) {
    if (from - at > kSearchLimit) return std::optional<std::uint64_t>();
    const auto got = file.readAt(from, piece);
    if (!got) return got.error();
    const auto end = piece.begin() + static_cast<std::ptrdiff_t>(*got);
    const auto hit = std::search(piece.begin(), end, std::begin(journal::kEntryMagic), std::end(journal::kEntryMagic));
    if (hit != end) return std::optional<std::uint64_t>(from + static_cast<std::uint64_t>(hit - piece.begin()));
  }
  return std::optional<std::uint64_t>(length);
}

}  // namespace

JournalPlaces journalPlaces(const std::string& movie) {
  std::error_code ec;
  std::filesystem::path real = std::filesystem::weakly_canonical(fromUtf8(movie), ec);
  if (ec) real = fromUtf8(movie);
  JournalPlaces places;
  places.beside = toUtf8(real) + kSuffix;
  if (const std::string folder = userStateFolder(); !folder.empty()) {
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(fnv1a(toUtf8(real))));
    places.state = toUtf8(fromUtf8(folder) / "journals" / fromUtf8(toUtf8(real.filename()) + "-" + hash + kSuffix));
  }
  return places;
}

// The journal's file, opened for reading after the checks of a journal of
// the user's own; null (and `place` empty) when there is none.
Result<std::unique_ptr<OpenFile>> Journal::openPlace(FileLayer& files, const std::string& movie, std::string& place) {
  const JournalPlaces places = journalPlaces(movie);
  for (const std::string& candidate : {places.beside, places.state}) {
    if (candidate.empty()) continue;
    auto file = files.openOwn(candidate, OpenMode::Read);
    if (!file && file.error().code == ErrorCode::NotFound) continue;
    if (!file && file.error().code == ErrorCode::NotOwnFile) return refused(candidate, file.error().message);
    if (!file) return cannotRead(candidate, file.error().message);
    place = candidate;
    return file;
  }
  place.clear();
  return std::unique_ptr<OpenFile>();
}

Result<Journal> Journal::load(FileLayer& files, const std::string& movie, JournalRead read) {
  Journal journal(files, movie);
  std::string place;
  auto file = openPlace(files, movie, place);
  if (!file) return file.error();
  if (!*file) return journal;
  journal.path_ = place;
  const auto length = (*file)->length();
  if (!length) return cannotRead(place, length.error().message);
  try {
    if (const Status readOk = journal.readAll(**file, *length, read); !readOk) return readOk.error();
  } catch (const std::bad_alloc&) {
    return cannotRead(place, "there is not enough memory for it");
  }
  journal.in_ = std::move(*file);
  return journal;
}

Status Journal::readAll(OpenFile& file, std::uint64_t length, JournalRead read) {
  std::uint8_t header[journal::kHeaderBytes] = {};
  const std::size_t shown = static_cast<std::size_t>(std::min<std::uint64_t>(length, sizeof header));
  if (auto got = readExactly(file, 0, std::span(header, shown)); !got) return cannotRead(path_, got.error().message);
  // A header cut short by a crash while the journal was being created is an
  // empty journal; anything else that does not start like one is not ours,
  // and is never written to.
  const auto expected = journal::encodeEntryFileHeader();
  if (!std::equal(header, header + std::min<std::size_t>(shown, sizeof journal::kEntryMagic + 10), expected.begin()))
    return cannotRead(path_, "it is not an Orvane journal");
  if (length < journal::kHeaderBytes) return {};
  const auto version = journal::headerVersion(header);
  if (!version || (*version != 1 && *version != journal::kEntryVersion))
    return cannotRead(path_, "it is an Orvane journal of a version this release does not know");
  version_ = *version;
  end_ = journal::kHeaderBytes;
  return version_ == 1 ? readFirstFormat(file, length, read) : readEntries(file, length, read);
}

bool Journal::take(Record record, const Place& place, JournalRead read) {
  const std::uint64_t seq = journal::sequenceOf(record);
  if (seq <= lastSeq_) return false;
  if (const auto* mark = std::get_if<journal::Mark>(&record); mark && !write(mark->write)) return false;
  if (auto* e = std::get_if<WriteEntry>(&record); e && read != JournalRead::Whole) keepHeadOnly(*e);
  records_.push_back(std::move(record));
  places_.push_back(place);
  lastSeq_ = seq;
  end_ = place.at + place.bytes;
  return true;
}

Status Journal::readFirstFormat(OpenFile& file, std::uint64_t length, JournalRead read) {
  // Record by record: the first one that does not hold ends the journal, as
  // this format has no way to find the next one.
  std::vector<std::uint8_t> bytes;
  for (std::uint64_t at = journal::kHeaderBytes; length - at >= journal::kRecordFrontBytes;) {
    std::uint8_t front[4];
    if (auto got = readExactly(file, at, front); !got) return cannotRead(path_, got.error().message);
    const auto size = journal::recordLength(front);
    if (!size || *size > length - at) break;
    bytes.resize(*size);
    const auto got = readExactly(file, at, bytes);
    if (!got) return cannotRead(path_, got.error().message);
    auto record = journal::decodeRecord(bytes);
    if (!*got || !record || journal::sequenceOf(*record) != lastSeq_ + 1) break;
    if (!take(std::move(*record), Place{at, *size, 0}, read)) break;
    at += *size;
  }
  return {};
}

Status Journal::readEntries(OpenFile& file, std::uint64_t length, JournalRead read) {
  std::vector<std::uint8_t> front, body;
  std::uint64_t damagedFrom = 0;  // where a damaged stretch began; 0: none
  const auto warn = [this](std::uint64_t from, std::uint64_t to) {
    warnings_.push_back("The journal " + path_ + " is damaged from byte " + std::to_string(from) + " to byte " +
                        std::to_string(to) + ": the entry there was skipped; the entries after it are kept.");
  };
  std::uint64_t at = journal::kHeaderBytes;
  while (at < length) {
    auto entry = entryAt(file, at, length, read, front, body);
    if (!entry) return cannotRead(path_, entry.error().message);
    if (*entry) {
      const std::uint64_t whole = (*entry)->whole;
      if (take(std::move((*entry)->record), Place{at, whole, (*entry)->head}, read)) {
        if (damagedFrom) warn(damagedFrom, at);
        damagedFrom = 0;
        at += whole;
        continue;
      }
    }
    // Damaged, or out of order: on to the next magic number.
    if (!damagedFrom) damagedFrom = at;
    const auto next = nextMagicAfter(file, at, length);
    if (!next) return cannotRead(path_, next.error().message);
    if (!*next) {
      lost_ = true;
      warnings_.push_back("The journal " + path_ + " is damaged from byte " + std::to_string(damagedFrom) +
                          " on, over more than " + std::to_string(kSearchLimit >> 20) +
                          " MiB: nothing after that is read, and nothing is written to it.");
      return {};
    }
    at = **next;
  }
  // A damaged stretch at the very end is most often an append cut short by a
  // crash, which is no loss; one that held a whole entry is told.
  if (damagedFrom) {
    std::uint8_t check[12];
    if (auto got = readExactly(file, damagedFrom, check); got && *got)
      if (const auto size = journal::entrySize(check); size && size->whole() <= length - damagedFrom)
        warn(damagedFrom, length);
  }
  return {};
}

Result<bool> Journal::endsInterrupted(FileLayer& files, const std::string& movie) {
  std::string place;
  auto file = openPlace(files, movie, place);
  if (!file) return file.error();
  if (!*file) return false;
  OpenFile& in = **file;
  const auto length = in.length();
  if (!length) return cannotRead(place, length.error().message);
  if (*length <= journal::kHeaderBytes) return false;
  std::uint8_t header[journal::kHeaderBytes];
  if (auto got = readExactly(in, 0, header); !got) return cannotRead(place, got.error().message);
  const auto version = journal::headerVersion(header);
  try {
    if (version == journal::kEntryVersion) {
      // Writes are settled before anything else is appended, so the last
      // whole entry alone tells whether one is waiting: searched for from the
      // end, past an append cut short. Most often the last bytes end it.
      std::uint8_t lastBytes[4];
      if (auto got = readExactly(in, *length - 4, lastBytes); !got) return cannotRead(place, got.error().message);
      if (const std::uint64_t whole = le32(lastBytes);
          whole >= journal::kEntryHeadMinimum + 8 && whole <= *length - journal::kHeaderBytes) {
        std::vector<std::uint8_t> head(
            static_cast<std::size_t>(std::min<std::uint64_t>(whole, journal::kMaxHeadBytes)));
        if (auto got = readExactly(in, *length - whole, head); !got) return cannotRead(place, got.error().message);
        if (const auto size = journal::entrySize(head); size && size->whole() == whole)
          if (const auto record = journal::decodeHead(std::span(head).first(size->head)))
            return std::holds_alternative<WriteEntry>(*record);
      }
      const std::uint64_t from = *length - std::min(*length - journal::kHeaderBytes, kTailWindow);
      std::vector<std::uint8_t> tail(static_cast<std::size_t>(*length - from));
      if (auto got = readExactly(in, from, tail); !got || !*got)
        return cannotRead(place, got ? "it was cut short while being read" : got.error().message);
      for (std::size_t end = tail.size(); end >= journal::kEntryHeadMinimum + 4; --end) {
        const std::uint64_t whole = le32(&tail[end - 4]);
        if (whole < journal::kEntryHeadMinimum + 8 || whole > end) continue;
        const auto entry = std::span(tail).subspan(end - whole, whole);
        const auto size = journal::entrySize(entry);
        if (!size || size->whole() != whole) continue;
        const auto record = journal::decodeHead(entry.first(size->head));
        if (!record) continue;
        return std::holds_alternative<WriteEntry>(*record);
      }
      return false;  // no whole entry at the end: nothing there can be settled
    }
    if (version == 1 && *length >= journal::kHeaderBytes + 32) {
      // A first-format journal that ends with a mark (32 bytes) has nothing waiting.
      std::uint8_t last[32];
      if (auto got = readExactly(in, *length - 32, last); got && *got)
        if (const auto record = journal::decodeRecord(last); record && std::holds_alternative<journal::Mark>(*record))
          return false;
    }
  } catch (const std::bad_alloc&) {
    return cannotRead(place, "there is not enough memory for it");
  }
  // A journal of the first format ending otherwise: read its heads.
  auto journal = load(files, movie, JournalRead::Heads);
  if (!journal) return journal.error();
  return !unmarkedWrites(journal->records()).empty();
}

const WriteEntry* Journal::write(std::uint64_t seq) const {
  // Sequence numbers grow with the records.
  const auto it = std::lower_bound(records_.begin(), records_.end(), seq,
                                   [](const Record& r, std::uint64_t s) { return journal::sequenceOf(r) < s; });
  if (it == records_.end() || journal::sequenceOf(*it) != seq) return nullptr;
  return std::get_if<WriteEntry>(&*it);
}

Result<WriteEntry> Journal::readWhole(std::size_t index) {
  const auto* head = std::get_if<WriteEntry>(&records_[index]);
  if (!head) return Error{ErrorCode::JournalFailed, "not a write"};
  bool loaded = true;
  for (const auto& scene : head->scenes) loaded = loaded && scene.before.size() == scene.bytes;
  if (loaded) return *head;
  const Place& place = places_[index];
  const std::string where = "The journal " + path_ + " is damaged at byte " + std::to_string(place.at);
  try {
    std::vector<std::uint8_t> bytes(place.headBytes ? place.bytes - place.headBytes - 4 : place.bytes);
    const auto got = readExactly(reader(), place.at + place.headBytes, bytes);
    if (!got)
      return Error{ErrorCode::JournalFailed,
                   "The journal " + path_ + " could not be read (" + got.error().message + ")."};
    WriteEntry e = *head;
    if (!*got) return Error{ErrorCode::JournalFailed, where + "."};
    if (place.headBytes) {
      if (!journal::decodeBody(bytes, e)) return Error{ErrorCode::JournalFailed, where + "."};
      return e;
    }
    auto record = journal::decodeRecord(bytes);
    if (!record || !std::holds_alternative<WriteEntry>(*record)) return Error{ErrorCode::JournalFailed, where + "."};
    auto& first = std::get<WriteEntry>(*record);
    for (std::size_t i = 0; i < first.scenes.size(); ++i) {
      first.scenes[i].bytes = static_cast<std::uint32_t>(first.scenes[i].before.size());
      first.scenes[i].beforeChecksum = e.scenes[i].beforeChecksum;
    }
    return first;
  } catch (const std::bad_alloc&) {
    return Error{ErrorCode::JournalFailed, "The journal " + path_ + " could not be read (not enough memory)."};
  }
}

Result<WriteEntry> Journal::whole(std::uint64_t seq) {
  const WriteEntry* head = write(seq);
  if (!head) return Error{ErrorCode::JournalFailed, "The journal holds no write " + std::to_string(seq) + "."};
  std::size_t i = 0;
  while (journal::sequenceOf(records_[i]) != seq) ++i;
  auto got = readWhole(i);
  if (!got && got.error().message.find(" is damaged at byte ") != std::string::npos) {
    warnings_.push_back(got.error().message.substr(0, got.error().message.size() - 1) +
                        ": the entry there was skipped; the entries after it are kept.");
    // Its marks go with it: what they tell is about bytes no longer known.
    for (std::size_t k = records_.size(); k-- > 0;) {
      const auto* mark = std::get_if<journal::Mark>(&records_[k]);
      if (k == i || (mark && mark->write == seq)) {
        records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(k));
        places_.erase(places_.begin() + static_cast<std::ptrdiff_t>(k));
      }
    }
  }
  return got;
}

Status Journal::openForAppend() {
  if (lost_) return cannotWrite(path_, "it is damaged over a long stretch; please move it away");
  if (out_) return {};
  if (!path_.empty()) {
    auto opened = files_->openOwn(path_, OpenMode::ReadWrite);
    if (!opened && opened.error().code == ErrorCode::NotOwnFile) return refused(path_, opened.error().message);
    if (!opened) return cannotWrite(path_, opened.error().message);
    const auto length = (*opened)->length();
    if (!length) return cannotWrite(path_, length.error().message);
    if (*length < end_) return cannotWrite(path_, "it was changed by someone else while in use");
    out_ = std::move(*opened);
    return {};
  }
  // No journal yet: beside the movie, or in the user's state folder when the
  // movie's folder cannot take a new file.
  const JournalPlaces places = journalPlaces(movie_);
  auto beside = files_->createOwn(places.beside);
  if (beside) {
    path_ = places.beside;
    out_ = std::move(*beside);
    return {};
  }
  if (places.state.empty()) return cannotWrite(places.beside, beside.error().message);
  const std::filesystem::path folder = fromUtf8(places.state).parent_path();
  if (const Status made = files_->makeFolders(toUtf8(folder)); !made)
    return cannotWrite(places.beside,
                       beside.error().message + "; nor in " + toUtf8(folder) + ": " + made.error().message);
  // Folders just made must survive a power cut too: their names are in the
  // folders above ("orvane/journals" in the state folder).
  for (const auto& above : {folder.parent_path(), folder.parent_path().parent_path()})
    if (const Status flushed = files_->flushFolder(toUtf8(above)); !flushed)
      return cannotWrite(places.state, flushed.error().message);
  auto state = files_->createOwn(places.state);
  if (!state)
    return cannotWrite(places.beside, beside.error().message + "; nor " + places.state + ": " + state.error().message);
  path_ = places.state;
  out_ = std::move(*state);
  return {};
}

Result<std::uint64_t> Journal::append(Record record) {
  // A journal of the first format is written anew in the current one first.
  if (version_ != journal::kEntryVersion && end_ > 0) {
    if (const Status opened = openForAppend(); !opened) return opened.error();
    if (const Status rewritten = rewrite(std::vector<bool>(records_.size(), true)); !rewritten)
      return rewritten.error();
  }
  if (const Status opened = openForAppend(); !opened) return opened.error();
  const std::uint64_t seq = lastSeq_ + 1;
  std::visit([seq](auto& r) { r.seq = seq; }, record);

  const bool creating = end_ == 0;
  std::vector<std::uint8_t> bytes = creating ? journal::encodeEntryFileHeader() : std::vector<std::uint8_t>{};
  const auto encoded = journal::encodeEntry(record);
  bytes.insert(bytes.end(), encoded.begin(), encoded.end());

  const auto fail = [this](const std::string& why) {
    out_.reset();  // opened afresh next time
    return cannotWrite(path_, why);
  };
  const auto put = out_->writeAt(end_, bytes);
  if (!put) return fail(put.error().message);
  if (*put != bytes.size())
    return fail("only " + std::to_string(*put) + " of " + std::to_string(bytes.size()) + " bytes were taken");
  if (const Status flushed = out_->flush(); !flushed) return fail(flushed.error().message);
  if (creating)
    if (const Status flushed = files_->flushFolder(folderOf(path_)); !flushed) return fail(flushed.error().message);
  const std::uint64_t at = end_ + (creating ? journal::kHeaderBytes : 0);
  version_ = journal::kEntryVersion;
  const auto size = journal::entrySize(encoded);
  take(std::move(record), Place{at, encoded.size(), size ? size->head : 0}, JournalRead::Heads);
  return seq;
}

Status Journal::rewrite(const std::vector<bool>& keep) {
  const std::string fresh = path_ + kRewriteSuffix;
  // A rewrite cut short by a crash left its file behind; it was never in use.
  if (const Status removed = files_->removeName(fresh); !removed) return cannotWrite(fresh, removed.error().message);
  auto made = files_->createOwn(fresh);
  if (!made) return cannotWrite(fresh, made.error().message);
  std::unique_ptr<OpenFile> out = std::move(*made);
  const auto failed = [&](const std::string& why) {
    out.reset();
    settledLater(files_->removeName(fresh));  // the next rewrite removes it first
    return cannotWrite(fresh, why);
  };
  std::vector<Record> records;
  std::vector<Place> places;
  std::uint64_t at = 0;
  const auto put = [&](std::span<const std::uint8_t> bytes) -> Status {
    const auto wrote = out->writeAt(at, bytes);
    if (!wrote) return wrote.error();
    if (*wrote != bytes.size()) return Error{ErrorCode::NoSpace, "the disk took only part of it"};
    at += bytes.size();
    return {};
  };
  if (const Status ok = put(journal::encodeEntryFileHeader()); !ok) return failed(ok.error().message);
  std::set<std::uint64_t> dropped;
  for (std::size_t i = 0; i < records_.size(); ++i) {
    Record record = records_[i];
    if (!keep[i]) continue;
    if (const auto* mark = std::get_if<journal::Mark>(&record); mark && dropped.count(mark->write)) continue;
    if (std::holds_alternative<WriteEntry>(record)) {
      auto whole = readWhole(i);
      if (!whole) {
        // A damaged write is left out, with its marks.
        if (whole.error().message.find(" is damaged at byte ") == std::string::npos)
          return failed(whole.error().message);
        warnings_.push_back(whole.error().message);
        dropped.insert(journal::sequenceOf(record));
        continue;
      }
      record = std::move(*whole);
    }
    const auto bytes = journal::encodeEntry(record);
    const auto size = journal::entrySize(bytes);
    places.push_back(Place{at, bytes.size(), size ? size->head : 0});
    if (const Status ok = put(bytes); !ok) return failed(ok.error().message);
    if (auto* e = std::get_if<WriteEntry>(&record)) keepHeadOnly(*e);
    records.push_back(std::move(record));
  }
  if (const Status flushed = out->flush(); !flushed) return failed(flushed.error().message);
  if (const Status renamed = files_->renameOver(fresh, path_); !renamed) return failed(renamed.error().message);
  if (const Status flushed = files_->flushFolder(folderOf(path_)); !flushed)
    return cannotWrite(path_, flushed.error().message);
  out_ = std::move(out);
  in_.reset();
  records_ = std::move(records);
  places_ = std::move(places);
  end_ = at;
  version_ = journal::kEntryVersion;
  return {};
}

Result<std::size_t> Journal::prune(const JournalLimits& limits) {
  // The replacements that count as steps, newest first.
  const History history = readHistory(records_);
  std::vector<std::uint64_t> steps;
  for (auto r = history.replacements.rbegin(); r != history.replacements.rend(); ++r)
    if (r->state == ReplacementState::Done || r->state == ReplacementState::Undone) steps.push_back(r->entry->seq);
  if (!unmarkedWrites(records_).empty() || steps.empty()) return std::size_t{0};

  // Everything older than the oldest step kept goes. Over the size limit the
  // journal is cut to three quarters of it, so that it is not rewritten at
  // every step from then on.
  std::size_t kept = std::min(steps.size(), std::max<std::size_t>(limits.steps, 1));
  const auto bytesFrom = [&](std::uint64_t cut) {
    std::uint64_t total = journal::kHeaderBytes;
    for (std::size_t i = 0; i < records_.size(); ++i)
      if (journal::sequenceOf(records_[i]) >= cut) total += places_[i].bytes;
    return total;
  };
  if (steps.size() <= kept && end_ <= limits.bytes) return std::size_t{0};
  if (bytesFrom(steps[kept - 1]) > limits.bytes)
    while (kept > 1 && bytesFrom(steps[kept - 1]) > limits.bytes / 4 * 3) --kept;
  const std::uint64_t cut = steps[kept - 1];
  // A write goes with the replacement it is about (an undo or redo with its
  // target), a mark with its write.
  std::vector<bool> keep(records_.size());
  std::set<std::uint64_t> keptWrites;
  std::size_t droppedSteps = 0;
  bool any = false;
  for (std::size_t i = 0; i < records_.size(); ++i) {
    if (const auto* e = std::get_if<WriteEntry>(&records_[i])) {
      keep[i] = (e->action == journal::Action::Replace ? e->seq : e->target) >= cut;
      if (keep[i]) keptWrites.insert(e->seq);
      droppedSteps += !keep[i] && e->action == journal::Action::Replace;
    } else {
      keep[i] = keptWrites.count(std::get<journal::Mark>(records_[i]).write) > 0;
    }
    any = any || !keep[i];
  }
  if (!any) return std::size_t{0};
  if (const Status opened = openForAppend(); !opened) return opened.error();
  if (const Status rewritten = rewrite(keep); !rewritten) return rewritten.error();
  return droppedSteps;
}

}  // namespace orvane
