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

class TempDir {
 public:
  TempDir() {
    static int counter = 0;
    path_ = std::filesystem::temp_directory_path() /
            ("orvane-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
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
