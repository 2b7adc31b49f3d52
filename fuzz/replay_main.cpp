// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a fuzz target without libFuzzer: every file named on the command line,
// and every file inside each folder named (in name order), is fed once to
// LLVMFuzzerTestOneInput. A broken property aborts inside the target; this
// program fails as well when it finds nothing to run, so an empty or
// misplaced corpus cannot pass unnoticed.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz_support.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void collect(const fs::path& arg, std::vector<fs::path>& files) {
  if (fs::is_directory(arg)) {
    std::vector<fs::path> inside;
    for (const auto& entry : fs::recursive_directory_iterator(arg))
      if (entry.is_regular_file()) inside.push_back(entry.path());
    std::sort(inside.begin(), inside.end());
    files.insert(files.end(), inside.begin(), inside.end());
  } else if (fs::is_regular_file(arg)) {
    files.push_back(arg);
  } else {
    std::fprintf(stderr, "replay: %s is neither a file nor a folder\n", arg.string().c_str());
    std::exit(2);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<fs::path> files;
  for (int i = 1; i < argc; ++i) collect(argv[i], files);
  if (files.empty()) {
    std::fprintf(stderr, "replay: no inputs\n");
    return 2;
  }
  for (const auto& file : files) {
    // Printed before the run, so that the input that aborts is the last one named.
    std::printf("replay: %s\n", file.string().c_str());
    std::fflush(stdout);
    const std::vector<std::uint8_t> bytes = readAll(file);
    // An empty vector's data() may be null; libFuzzer passes a valid pointer.
    static const std::uint8_t kNothing = 0;
    LLVMFuzzerTestOneInput(bytes.empty() ? &kNothing : bytes.data(), bytes.size());
  }
  std::printf("replay: %zu inputs, all properties held\n", files.size());
  return 0;
}
