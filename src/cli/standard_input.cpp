// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/standard_input.h"

#include <filesystem>
#include <istream>
#include <iterator>
#include <ostream>
#include <random>
#include <utility>
#include <vector>

#include "shell/atomic_write.h"

namespace orvane::cli {
namespace {

namespace fs = std::filesystem;

// A new folder only this user may enter, in the system's temporary folder.
std::optional<fs::path> privateFolder() {
  std::error_code ec;
  const fs::path base = fs::temp_directory_path(ec);
  if (ec) return std::nullopt;
  std::random_device random;
  for (int attempt = 0; attempt < 16; ++attempt) {
    const fs::path folder = base / ("orvane-input-" + std::to_string(random()));
    if (fs::create_directory(folder, ec)) {
      fs::permissions(folder, fs::perms::owner_all, ec);
      return folder;
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<PictureArgument> PictureArgument::from(const std::string& argument, const Io& io) {
  if (!isStandardStream(argument)) return PictureArgument(argument, {});
  if (io.inIsTerminal || !io.in) {
    io.diagnostic("-") << "will not read a picture from a terminal (pipe or redirect one in: < picture.png)\n";
    return std::nullopt;
  }
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(*io.in), std::istreambuf_iterator<char>()};
  if (io.in->bad()) {
    io.diagnostic("-") << "cannot read standard input\n";
    return std::nullopt;
  }
  if (bytes.empty()) {
    io.diagnostic("-") << "standard input is empty; no picture came\n";
    return std::nullopt;
  }
  const auto folder = privateFolder();
  if (!folder) {
    io.diagnostic("-") << "cannot make a temporary folder to keep standard input in\n";
    return std::nullopt;
  }
  const std::u8string name = (*folder / "standard-input").u8string();
  PictureArgument kept(std::string(name.begin(), name.end()), folder->string());
  if (const auto written = writeFileAtomically(kept.path(), bytes); !written) {
    io.diagnostic("-") << "cannot keep standard input: " << written.error().message << '\n';
    return std::nullopt;
  }
  return kept;
}

PictureArgument::PictureArgument(PictureArgument&& other) noexcept
    : path_(std::move(other.path_)), folder_(std::exchange(other.folder_, {})) {}

PictureArgument::~PictureArgument() {
  if (folder_.empty()) return;
  std::error_code ec;
  fs::remove_all(folder_, ec);
}

}  // namespace orvane::cli
