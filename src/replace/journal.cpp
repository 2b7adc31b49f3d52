// SPDX-License-Identifier: GPL-3.0-or-later
#include "replace/journal.h"

#include <cstdio>
#include <filesystem>
#include <span>
#include <system_error>

#include "shell/large_block.h"
#include "shell/platform.h"

namespace orvane {
namespace {

constexpr const char* kSuffix = ".orvane-journal";

std::filesystem::path fromUtf8(const std::string& path) {
  return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

std::string toUtf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
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

Result<Journal> Journal::load(FileLayer& files, const std::string& movie) {
  Journal journal(files, movie);
  const JournalPlaces places = journalPlaces(movie);
  for (const std::string& place : {places.beside, places.state}) {
    if (place.empty() || !files.exists(place)) continue;
    const auto cannotRead = [&](const std::string& why) {
      return Error{ErrorCode::JournalFailed, "The journal " + place + " could not be read (" + why + ")."};
    };
    auto file = files.open(place, OpenMode::Read);
    if (!file) return cannotRead(file.error().message);
    const auto length = (*file)->length();
    if (!length) return cannotRead(length.error().message);
    // Not zeroed first, and in large pages: a journal may be hundreds of
    // megabytes, all read at once.
    const auto size = static_cast<std::size_t>(*length);
    const LargeBytes bytes = largeBytes(size);
    const auto got = (*file)->readAt(0, std::span(bytes.get(), size));
    if (!got) return cannotRead(got.error().message);
    auto parsed = journal::parse(std::span<const std::uint8_t>(bytes.get(), *got));
    if (!parsed) return cannotRead(parsed.error().message);
    journal.path_ = place;
    journal.records_ = std::move(parsed->records);
    journal.end_ = parsed->validEnd;
    break;
  }
  return journal;
}

const journal::WriteEntry* Journal::write(std::uint64_t seq) const {
  for (const auto& record : records_)
    if (const auto* e = std::get_if<journal::WriteEntry>(&record); e && e->seq == seq) return e;
  return nullptr;
}

Status Journal::openForAppend() {
  if (out_) return {};
  if (!path_.empty()) {
    auto opened = files_->openOrCreate(path_);
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
  auto beside = files_->openOrCreate(places.beside);
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
  auto state = files_->openOrCreate(places.state);
  if (!state)
    return cannotWrite(places.beside, beside.error().message + "; nor " + places.state + ": " + state.error().message);
  path_ = places.state;
  out_ = std::move(*state);
  return {};
}

Result<std::uint64_t> Journal::append(journal::Record record) {
  if (const Status opened = openForAppend(); !opened) return opened.error();
  const std::uint64_t seq = records_.empty() ? 1 : journal::sequenceOf(records_.back()) + 1;
  std::visit([seq](auto& r) { r.seq = seq; }, record);

  const bool creating = end_ == 0;
  std::vector<std::uint8_t> bytes = creating ? journal::encodeHeader() : std::vector<std::uint8_t>{};
  const auto encoded = journal::encode(record);
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
  if (creating) {
    const std::string folder = toUtf8(fromUtf8(path_).parent_path());
    if (const Status flushed = files_->flushFolder(folder.empty() ? "." : folder); !flushed)
      return fail(flushed.error().message);
  }
  end_ += bytes.size();
  records_.push_back(std::move(record));
  return seq;
}

}  // namespace orvane
