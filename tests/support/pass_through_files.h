// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The system's files with every call passed through, as the base of test file
// layers that change one step (a read that fails, a write cut short): derive,
// override that step, and leave the rest as it is.
#include <memory>
#include <string>

#include "shell/file_layer.h"

namespace orvane::testing {

class PassThroughFile : public OpenFile {
 public:
  explicit PassThroughFile(std::unique_ptr<OpenFile> real) : real_(std::move(real)) {}

  Result<std::uint64_t> length() override { return real_->length(); }
  Result<std::size_t> readAt(std::uint64_t at, std::span<std::uint8_t> out) override { return real_->readAt(at, out); }
  Result<std::size_t> writeAt(std::uint64_t at, std::span<const std::uint8_t> data) override {
    return real_->writeAt(at, data);
  }
  Status flush() override { return real_->flush(); }
  Result<FileIdentity> identity() override { return real_->identity(); }
  Status tryLock() override { return real_->tryLock(); }
  Status close() override { return real_->close(); }

 protected:
  OpenFile& real() { return *real_; }

 private:
  std::unique_ptr<OpenFile> real_;
};

class PassThroughFiles : public FileLayer {
 public:
  bool exists(const std::string& path) override { return systemFileLayer().exists(path); }
  Result<std::unique_ptr<OpenFile>> open(const std::string& path, OpenMode mode) override {
    auto real = systemFileLayer().open(path, mode);
    if (!real) return real.error();
    return wrap(std::move(*real));
  }
  Result<std::unique_ptr<OpenFile>> openOrCreate(const std::string& path) override {
    auto real = systemFileLayer().openOrCreate(path);
    if (!real) return real.error();
    return wrap(std::move(*real));
  }
  Status flushFolder(const std::string& folder) override { return systemFileLayer().flushFolder(folder); }
  Status makeFolders(const std::string& folder) override { return systemFileLayer().makeFolders(folder); }

 protected:
  // The file handed out for a system file; override to change its steps.
  virtual std::unique_ptr<OpenFile> wrap(std::unique_ptr<OpenFile> real) { return real; }
};

}  // namespace orvane::testing
