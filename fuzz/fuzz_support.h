// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared pieces of the fuzz targets: a window that only keeps what the checks
// read, a working set that is reused from one input to the next, a file layer
// over a buffer in memory, and the check that stops the run on a broken property.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "shell/file_layer.h"
#include "shell/core.h"

// Marks the checking code of a target: libFuzzer's coverage feedback should
// come from the code under test, and tracing every comparison of a check that
// walks all the input's bytes would cost more than the code under test does.
#if defined(__clang__)
#define ORVANE_FUZZ_UNTRACED __attribute__((no_sanitize("coverage")))
#else
#define ORVANE_FUZZ_UNTRACED
#endif

namespace orvane::fuzz {

// Prints what went wrong and aborts, so that libFuzzer saves the input and the
// replay program fails its test.
[[noreturn]] inline void fail(const char* what, long long detail = 0) {
  std::fprintf(stderr, "property violated: %s (%lld)\n", what, detail);
  std::fflush(stderr);
  std::abort();
}

inline void check(bool ok, const char* what, long long detail = 0) {
  if (!ok) fail(what, detail);
}

// Keeps the log lines, message boxes and page maximum of one input.
class QuietHost final : public NullHost {
 public:
  void logAppended(std::string_view line) override { lines.emplace_back(line); }
  void messageBox(std::string_view text, std::string_view title, BoxIcon) override {
    boxes.push_back(std::string(title) + ":" + std::string(text));
  }
  void setPageMaximum(int maximum) override { pageMaximum = maximum; }

  void reset() {
    lines.clear();
    lines.shrink_to_fit();
    boxes.clear();
    boxes.shrink_to_fit();
    pageMaximum = -2;
  }
  bool logged(std::string_view part) const {
    for (const auto& line : lines)
      if (line.find(part) != std::string::npos) return true;
    return false;
  }

  std::vector<std::string> lines;
  std::vector<std::string> boxes;
  int pageMaximum = -2;
};

// The working set holds about 6 MB of stores; making a new one for every input
// would cost more than most inputs do. The one kept here is replaced only when
// its append-only activity log has grown large, which the logic never reads back.
class Workbench {
 public:
  // One input's use of the working set. What the window recorded is dropped when
  // the round ends, so that an input frees what it allocated (libFuzzer re-runs an
  // input with more allocations than releases to look for a leak).
  class Round {
   public:
    explicit Round(Workbench& bench) : bench_(bench) {}
    ~Round() { bench_.host.reset(); }
    Round(const Round&) = delete;
    Round& operator=(const Round&) = delete;
    Core& core() { return bench_.core(); }

   private:
    Workbench& bench_;
  };

  QuietHost host;

 private:
  Core& core() {
    if (!core_ || core_->log.text().size() > (std::size_t{4} << 20)) {
      core_.reset();
      core_ = std::make_unique<Core>(host);
    }
    return *core_;
  }

  std::unique_ptr<Core> core_;
};

// A read-only file whose bytes are the fuzz input.
class MemoryFile final : public OpenFile {
 public:
  explicit MemoryFile(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  Result<std::uint64_t> length() override { return std::uint64_t{bytes_.size()}; }
  Result<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> out) override {
    if (offset >= bytes_.size()) return std::size_t{0};
    const std::size_t left = bytes_.size() - static_cast<std::size_t>(offset);
    const std::size_t got = out.size() < left ? out.size() : left;
    for (std::size_t i = 0; i < got; ++i) out[i] = bytes_[static_cast<std::size_t>(offset) + i];
    return got;
  }
  Result<std::size_t> writeAt(std::uint64_t, std::span<const std::uint8_t>) override {
    return Error{ErrorCode::AccessDenied, "read-only"};
  }
  Status flush() override { return {}; }
  Result<FileIdentity> identity() override { return FileIdentity{0, 0, bytes_.size(), 0}; }
  Status tryLock() override { return Error{ErrorCode::AccessDenied, "read-only"}; }
  Status close() override { return {}; }

 private:
  std::span<const std::uint8_t> bytes_;
};

// One file, `name`, holding `bytes`; it can be opened for reading only.
class MemoryFileLayer final : public FileLayer {
 public:
  MemoryFileLayer(std::string name, std::span<const std::uint8_t> bytes) : name_(std::move(name)), bytes_(bytes) {}

  bool exists(const std::string& path) override { return path == name_; }
  Result<std::unique_ptr<OpenFile>> open(const std::string& path, OpenMode mode) override {
    if (path != name_) return Error{ErrorCode::NotFound, "no such file"};
    if (mode != OpenMode::Read) return Error{ErrorCode::AccessDenied, "read-only"};
    return std::unique_ptr<OpenFile>(std::make_unique<MemoryFile>(bytes_));
  }
  Result<std::unique_ptr<OpenFile>> openOrCreate(const std::string&) override {
    return Error{ErrorCode::AccessDenied, "read-only"};
  }
  Status flushFolder(const std::string&) override { return {}; }
  Status makeFolders(const std::string&) override { return Error{ErrorCode::AccessDenied, "read-only"}; }

 private:
  std::string name_;
  std::span<const std::uint8_t> bytes_;
};

}  // namespace orvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
