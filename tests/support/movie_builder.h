// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Builds small movies and files for tests: preview records at chosen offsets,
// filler that cannot match, and a temporary folder that cleans up after itself.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <unistd.h>

#include "previews/record_format.h"
#include "sample_data.h"

namespace orvane::testing {

using Bytes = sample::Bytes;
using sample::filler;
using sample::put;

// A sound record (prefixes, trailer) whose pixel (x, y), y = 0 the top row, is pixel(x, y).
inline Bytes makeRecord(const std::function<std::uint8_t(int, int)>& pixel) { return record::buildRecord(pixel); }

// A record whose pixels encode its seed, so that previews can be told apart.
inline Bytes makeRecord(int seed) {
  return makeRecord([seed](int x, int y) { return static_cast<std::uint8_t>((x + 3 * y + 7 * seed) % 151); });
}

// A folder in memory where the system has one (flushing there costs nothing),
// for tests that kill processes many times over: a killed process loses no
// written byte, on any disk, so they need no real disk's flushes.
inline std::filesystem::path memoryFolder() {
  std::error_code ec;
  return std::filesystem::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0
             ? std::filesystem::path("/dev/shm")
             : std::filesystem::temp_directory_path();
}

inline int& otherFolderCount() {
  static int n = 0;
  return n;
}

class TempDir {
 public:
  TempDir() {
    static int counter = 0;
    path_ = std::filesystem::temp_directory_path() /
            ("orvane-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  // Under `base` instead. (The constructor above is left exactly as it is:
  // GCC 12 then reports a false -Wstringop-overflow in bmp_loader_test.)
  explicit TempDir(const std::filesystem::path& base)
      : path_(base / ("orvane-test-" + std::to_string(::getpid()) + "-b" + std::to_string(otherFolderCount()++))) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string file(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline void writeFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline Bytes readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace orvane::testing
