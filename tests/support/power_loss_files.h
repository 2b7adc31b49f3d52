// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files in memory with a power switch. Every write lands in what the program
// reads back at once, but survives a power cut only once a flush of that file
// has followed it; a file's creation survives only once its folder has been
// flushed. With `cutAfterFlushes` = k the power fails as the k-th flush (file
// or folder) returns (k = 0: before the first): from then on every call
// fails, and survivors() is what the disk holds.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "shell/file_layer.h"

namespace orvane::testing {

class PowerLossFiles final : public FileLayer {
 public:
  using Disk = std::map<std::string, std::vector<std::uint8_t>>;

  explicit PowerLossFiles(const Disk& disk, int cutAfterFlushes = -1) : cut_(cutAfterFlushes) {
    for (const auto& [path, bytes] : disk) files_[path] = {bytes, bytes, true, 0};
    dead_ = cut_ == 0;
  }

  int flushes() const { return flushes_; }
  bool dead() const { return dead_; }
  // What a power cut now would leave: files whose names are safe, each with
  // its flushed bytes (or, with `keepUnflushed`, the bytes the cache happened
  // to write out as well).
  Disk survivors(bool keepUnflushed = false) const {
    Disk disk;
    for (const auto& [path, f] : files_)
      if (f.named) disk[path] = keepUnflushed ? f.live : f.stable;
    return disk;
  }

  bool exists(const std::string& path) override { return !dead_ && files_.count(path); }
  Result<std::unique_ptr<OpenFile>> open(const std::string& path, OpenMode) override {
    if (dead_) return off();
    if (!files_.count(path)) return Error{ErrorCode::NotFound, "No such file or directory"};
    return std::unique_ptr<OpenFile>(std::make_unique<File>(*this, path));
  }
  Result<std::unique_ptr<OpenFile>> openOrCreate(const std::string& path) override {
    if (dead_) return off();
    if (!files_.count(path)) files_[path] = {{}, {}, false, 0};
    return std::unique_ptr<OpenFile>(std::make_unique<File>(*this, path));
  }
  Status flushFolder(const std::string& folder) override {
    if (dead_) return off();
    for (auto& [path, f] : files_)
      if (path.rfind(folder + "/", 0) == 0) f.named = true;
    return flushed();
  }
  Status makeFolders(const std::string&) override { return dead_ ? Status{off()} : Status{}; }

 private:
  struct Stored {
    std::vector<std::uint8_t> live, stable;
    bool named = false;
    std::int64_t modified = 0;  // counts writes, standing in for the modification time
  };

  static Error off() { return {ErrorCode::Io, "the power is off"}; }
  Status flushed() {
    if (++flushes_ == cut_) dead_ = true;
    return {};
  }

  class File final : public OpenFile {
   public:
    File(PowerLossFiles& disk, std::string path) : d_(disk), path_(std::move(path)) {}
    Result<std::uint64_t> length() override {
      if (d_.dead_) return off();
      return std::uint64_t{bytes().size()};
    }
    Result<std::size_t> readAt(std::uint64_t at, std::span<std::uint8_t> out) override {
      if (d_.dead_) return off();
      const auto& b = bytes();
      std::size_t n = 0;
      for (; n < out.size() && at + n < b.size(); ++n) out[n] = b[at + n];
      return n;
    }
    Result<std::size_t> writeAt(std::uint64_t at, std::span<const std::uint8_t> data) override {
      if (d_.dead_) return off();
      auto& f = d_.files_[path_];
      if (f.live.size() < at + data.size()) f.live.resize(at + data.size());
      std::copy(data.begin(), data.end(), f.live.begin() + static_cast<std::ptrdiff_t>(at));
      ++f.modified;
      return data.size();
    }
    Status flush() override {
      if (d_.dead_) return off();
      auto& f = d_.files_[path_];
      f.stable = f.live;
      return d_.flushed();
    }
    Result<FileIdentity> identity() override {
      if (d_.dead_) return off();
      return FileIdentity{1, std::hash<std::string>{}(path_), bytes().size(), d_.files_[path_].modified};
    }
    Status tryLock() override { return d_.dead_ ? Status{off()} : Status{}; }
    Status close() override { return {}; }

   private:
    const std::vector<std::uint8_t>& bytes() { return d_.files_[path_].live; }
    PowerLossFiles& d_;
    std::string path_;
  };

  std::map<std::string, Stored> files_;
  int cut_;
  int flushes_ = 0;
  bool dead_ = false;
};

}  // namespace orvane::testing
