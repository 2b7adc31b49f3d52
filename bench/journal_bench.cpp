// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a movie with a large journal beside it, against opening it with
// none, and undoing a long history step by step.
//
//   orvane-journal-bench [--dir /dev/shm] [--journal-mib 1024] [--steps 300] [--rounds 5]
//
// Opening is timed in `orvane-cli scan` processes (the whole opening: the
// journal's check, the scan, the report), their peak memory taken from the
// system when each ends; the journal is a real one of single-scene writes and
// their marks, written straight to the file. Undo runs in this process, one
// step at a time as the window makes them, through a journal of `--steps`
// replacements.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "cli/console_host.h"
#include "previews/record_format.h"
#include "replace/journal_entry.h"
#include "replace/undo.h"
#include "shell/core.h"
#include "workflow/open_movie.h"

extern char** environ;

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;
using namespace orvane;

constexpr int kPreviews = 20;
std::size_t at(int n) { return 4096 + static_cast<std::size_t>(n - 1) * (record::kRecordBytes + 100); }

Bytes recordOf(int seed) {
  return record::buildRecord(
      [seed](int x, int y) { return static_cast<std::uint8_t>((x * 7 + y * 3 + seed * 11) % 151); });
}

void writeFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes baseMovie() {
  Bytes m(at(kPreviews) + record::kRecordBytes + 4096, 0x11);
  for (int n = 1; n <= kPreviews; ++n) {
    const Bytes r = recordOf(n);
    std::copy(r.begin(), r.end(), m.begin() + static_cast<std::ptrdiff_t>(at(n)));
  }
  return m;
}

// A journal of `steps` single-scene replacements, each marked done (or stopping
// at `bytes`), applied to `movie` as it goes.
void writeJournal(const std::string& path, Bytes& movie, std::uint64_t bytes, std::size_t steps) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  const Bytes header = journal::encodeEntryFileHeader();
  out.write(reinterpret_cast<const char*>(header.data()), static_cast<std::streamsize>(header.size()));
  std::uint64_t written = header.size(), seq = 1;
  for (std::size_t i = 1; i <= steps && written < bytes; ++i) {
    const int n = 1 + static_cast<int>(i % kPreviews);
    journal::WriteEntry e{seq++, 1700000000, journal::Action::Replace, 0, movie.size(), {}, "picture.png"};
    Bytes before(movie.begin() + static_cast<std::ptrdiff_t>(at(n)),
                 movie.begin() + static_cast<std::ptrdiff_t>(at(n) + record::kTrailerOffset));
    Bytes after = recordOf(1000 + static_cast<int>(i));
    after.resize(record::kTrailerOffset);
    std::copy(after.begin(), after.end(), movie.begin() + static_cast<std::ptrdiff_t>(at(n)));
    e.scenes.push_back({n, at(n), std::move(before), std::move(after)});
    for (const journal::Record& r :
         {journal::Record{e}, journal::Record{journal::Mark{seq++, e.seq, journal::Outcome::Done}}}) {
      const Bytes b = journal::encodeEntry(r);
      out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
      written += b.size();
    }
  }
}

struct Run {
  double seconds = 0;
  long peakKiB = 0;
};

Run scanProcess(const std::string& movie) {
  const char* cli = ORVANE_CLI_PATH;
  std::vector<std::string> args{cli, "scan", movie};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  const auto start = Clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, cli, &actions, nullptr, argv.data(), environ) != 0) std::exit(2);
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  posix_spawn_file_actions_destroy(&actions);
  return {std::chrono::duration<double>(Clock::now() - start).count(), usage.ru_maxrss};
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir = "/dev/shm";
  std::uint64_t journalMiB = 1024;
  std::size_t steps = 300;
  int rounds = 5;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string k = argv[i];
    if (k == "--dir")
      dir = argv[i + 1];
    else if (k == "--journal-mib")
      journalMiB = std::strtoull(argv[i + 1], nullptr, 10);
    else if (k == "--steps")
      steps = std::strtoull(argv[i + 1], nullptr, 10);
    else if (k == "--rounds")
      rounds = std::atoi(argv[i + 1]);
  }
  const std::string folder = dir + "/orvane-journal-bench-" + std::to_string(::getpid());
  std::filesystem::create_directories(folder);
  const std::string movie = folder + "/bench.3mm";

  // Opening with no journal and with a large one, taken side by side.
  Bytes m = baseMovie();
  writeFile(movie, m);
  const std::string big = folder + "/big.orvane-journal";
  Bytes withJournal = m;
  writeJournal(big, withJournal, journalMiB << 20, static_cast<std::size_t>(-1));
  std::vector<double> none, large, ratio;
  long peakNone = 0, peakLarge = 0;
  for (int r = 0; r < rounds; ++r) {
    std::filesystem::remove(movie + ".orvane-journal");
    writeFile(movie, m);
    const Run a = scanProcess(movie);
    writeFile(movie, withJournal);
    std::filesystem::rename(big, movie + ".orvane-journal");
    const Run b = scanProcess(movie);
    std::filesystem::rename(movie + ".orvane-journal", big);
    none.push_back(a.seconds);
    large.push_back(b.seconds);
    ratio.push_back(b.seconds / a.seconds);
    peakNone = std::max(peakNone, a.peakKiB);
    peakLarge = std::max(peakLarge, b.peakKiB);
  }
  std::printf("opening (orvane-cli scan), %d rounds: no journal %.1f ms, %.0f MiB journal %.1f ms, ratio %.2f\n",
              rounds, median(none) * 1e3, static_cast<double>(std::filesystem::file_size(big)) / (1 << 20),
              median(large) * 1e3, median(ratio));
  std::printf("peak memory: no journal %.1f MiB, with the journal %.1f MiB\n", peakNone / 1024.0, peakLarge / 1024.0);
  std::filesystem::remove(big);

  // Undoing a long history one step at a time.
  Bytes u = baseMovie();
  writeJournal(movie + ".orvane-journal", u, std::uint64_t{1} << 40, steps);
  writeFile(movie, u);
  const cli::Io io{std::cout, std::cerr, "undo", true};  // quiet: no log lines
  cli::ConsoleHost host(io);
  Core core(host);
  const auto start = Clock::now();
  std::size_t undone = 0;
  while (undone < steps && stepHistory(core, movie, HistoryStep::Undo)) ++undone;
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf("undo: %zu of %zu replacements one by one in %.3f s (%.2f ms each); movie as it was: %s\n", undone, steps,
              seconds, seconds * 1e3 / static_cast<double>(std::max<std::size_t>(undone, 1)), [&] {
                std::ifstream in(movie, std::ios::binary);
                return Bytes(std::istreambuf_iterator<char>(in), {}) == baseMovie() ? "yes" : "NO";
              }());
  std::filesystem::remove_all(folder);
  return 0;
}
