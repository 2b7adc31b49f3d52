// SPDX-License-Identifier: GPL-3.0-or-later
// Scan throughput and memory on large generated movies.
//
// For each kind of movie (random filler, zero filler, records back to back),
// all in the page cache, rounds of, side by side:
//   - a plain read of the file (1 MiB page-aligned reads) and the library's
//     scan, in this process;
//   - a plain-read process and `orvane-cli scan` as whole processes;
//   - the plain read and the scan again with this thread held to one core.
// Each figure is the median of the rounds, each ratio the median of the ratios
// taken within one round, so that a machine whose speed drifts (a shared one)
// still gives fair ratios. Then the search kernels alone on data that stays in
// cache, the peak resident memory of `orvane-cli scan` on a 16 MiB and on a
// 2 GiB movie, and a plain-read process and `orvane-cli scan` on a movie just
// dropped from the page cache.
//
//   orvane-bench [--size-mib N] [--dir DIR] [--rounds N] [--cold-runs N] [benchmark flags]
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sched.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "movie_files.h"
#include "previews/record_format.h"
#include "previews/signature_search.h"
#include "shell/core.h"
#include "workflow/open_movie.h"

extern char** environ;

namespace {

using orvane::bench::Filler;
using Clock = std::chrono::steady_clock;

// The fastest plain way to read a cached file here: page-aligned 1 MiB reads.
std::uint64_t plainRead(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return 0;
  constexpr std::size_t kChunk = 1 << 20;
  void* buffer = std::aligned_alloc(4096, kChunk);
  std::uint64_t total = 0, sum = 0;
  for (ssize_t n; (n = ::read(fd, buffer, kChunk)) > 0;) {
    total += static_cast<std::uint64_t>(n);
    sum += static_cast<const unsigned char*>(buffer)[0];
  }
  benchmark::DoNotOptimize(sum);
  std::free(buffer);
  ::close(fd);
  return total;
}

// Runs a program with its output thrown away; its exit status, or -1.
int run(const std::vector<std::string>& args, std::string* output = nullptr) {
  std::vector<std::string> copy = args;
  std::vector<char*> argv;
  for (auto& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  char outputPath[] = "/tmp/orvane-bench-out-XXXXXX";
  const int outputFd = output ? ::mkstemp(outputPath) : -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (outputFd >= 0)
    posix_spawn_file_actions_adddup2(&actions, outputFd, 1);
  else
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  int status = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) ::waitpid(pid, &status, 0);
  posix_spawn_file_actions_destroy(&actions);
  if (outputFd >= 0) {
    char text[64] = {};
    if (::pread(outputFd, text, sizeof text - 1, 0) > 0) *output = text;
    ::close(outputFd);
    ::unlink(outputPath);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> plainProcess(const std::string& path) { return {ORVANE_BENCH_CHILD_PATH, "read", path}; }
std::vector<std::string> cliScan(const std::string& path) { return {ORVANE_CLI_PATH, "scan", path}; }

// Holds the calling thread (and every thread and process it starts) to the
// first processor it may use, for as long as it lives.
class OneCore {
 public:
  OneCore() {
    CPU_ZERO(&saved_);
    if (::sched_getaffinity(0, sizeof saved_, &saved_) != 0) return;
    cpu_set_t one;
    CPU_ZERO(&one);
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu)
      if (CPU_ISSET(cpu, &saved_)) {
        CPU_SET(cpu, &one);
        break;
      }
    pinned_ = ::sched_setaffinity(0, sizeof one, &one) == 0;
  }
  ~OneCore() {
    if (pinned_) ::sched_setaffinity(0, sizeof saved_, &saved_);
  }
  OneCore(const OneCore&) = delete;
  OneCore& operator=(const OneCore&) = delete;

 private:
  cpu_set_t saved_;
  bool pinned_ = false;
};

std::uint64_t fileSize(const std::string& path) { return std::filesystem::file_size(path); }

double seconds(const std::function<void()>& work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// One line of the table: the rounds' times of each way of reading a movie.
struct Rounds {
  std::map<std::string, std::vector<double>> times;  // seconds, by what was timed
  double rate(const std::string& what, double bytes) const {
    const auto it = times.find(what);
    return it == times.end() ? 0 : bytes / 1e9 / median(it->second);
  }
  // Median over the rounds of time(base) / time(what): above 1 when `what` is faster.
  double ratio(const std::string& what, const std::string& base) const {
    const auto a = times.find(what), b = times.find(base);
    if (a == times.end() || b == times.end()) return 0;
    std::vector<double> r;
    for (std::size_t k = 0; k < a->second.size() && k < b->second.size(); ++k) r.push_back(b->second[k] / a->second[k]);
    return median(r);
  }
};

Rounds measure(const std::string& path, int rounds) {
  orvane::NullHost host;
  orvane::Core core(host);
  const auto scan = [&] {
    if (!orvane::loadfile3(core, path)) std::fprintf(stderr, "cannot scan %s\n", path.c_str());
  };
  Rounds r;
  for (int k = 0; k < rounds; ++k) {
    r.times["plain"].push_back(seconds([&] { plainRead(path); }));
    r.times["scan"].push_back(seconds(scan));
    r.times["plain process"].push_back(seconds([&] { run(plainProcess(path)); }));
    r.times["cli"].push_back(seconds([&] { run(cliScan(path)); }));
    const OneCore pin;
    r.times["one core plain"].push_back(seconds([&] { plainRead(path); }));
    r.times["one core scan"].push_back(seconds(scan));
  }
  return r;
}

// 256 KiB of one kind of data, with the room a search needs after it.
std::vector<std::uint8_t> searchData(const std::string& kind) {
  constexpr std::size_t kBytes = 256 << 10;
  std::vector<std::uint8_t> data(kBytes + orvane::record::kRecordBytes);
  const auto rec = orvane::bench::benchRecord(7);
  orvane::sample::Rng rng(1);
  if (kind == "random filler") orvane::sample::randomBytes(rng, data);
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (kind == "back-to-back records")
      data[i] = rec[i % rec.size()];
    else if (kind == "00 90 pairs")
      data[i] = i % 2 ? 0x90 : 0x00;
  }
  return data;
}

void BM_Search(benchmark::State& state, orvane::SignatureKernel kernel, const std::string& kind) {
  const auto data = searchData(kind);
  const std::size_t count = data.size() - orvane::record::kRecordBytes;
  std::vector<std::uint32_t> hits;
  for (auto _ : state) {
    hits.clear();
    kernel.search(data.data(), count, hits);
    benchmark::DoNotOptimize(hits.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * count));
}

// Keeps every benchmark's throughput (the median when repeated) for the tables.
class Collector : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      const auto it = run.counters.find("bytes_per_second");
      if (it == run.counters.end() || run.error_occurred) continue;
      rates[run.run_name.function_name] = it->second.value / 1e9;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  double operator()(const std::string& name) const {
    const auto it = rates.find(name);
    return it == rates.end() ? 0 : it->second;
  }
  std::map<std::string, double> rates;  // GB/s by benchmark name
};

// Drops the file from the page cache; the share of it still cached after.
double evict(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return 1;
  ::fdatasync(fd);
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
  const std::size_t length = fileSize(path);
  double share = 1;
  if (void* map = ::mmap(nullptr, length, PROT_READ, MAP_SHARED, fd, 0); map != MAP_FAILED) {
    const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    std::vector<unsigned char> in((length + page - 1) / page);
    if (::mincore(map, length, in.data()) == 0)
      share = static_cast<double>(std::count_if(in.begin(), in.end(), [](unsigned char c) { return c & 1; })) /
              static_cast<double>(std::max<std::size_t>(in.size(), 1));
    ::munmap(map, length);
  }
  ::close(fd);
  return share;
}

long peakKiB(const std::string& path) {
  std::string out;
  run({ORVANE_BENCH_CHILD_PATH, "peak", ORVANE_CLI_PATH, "scan", path}, &out);
  return std::atol(out.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  std::uint64_t sizeMiB = 1024;
  int rounds = 7, coldRuns = 5;
  std::string dir = std::filesystem::temp_directory_path().string();
  std::vector<char*> rest{argv[0]};
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--size-mib") && i + 1 < argc)
      sizeMiB = std::strtoull(argv[++i], nullptr, 10);
    else if (!std::strcmp(argv[i], "--dir") && i + 1 < argc)
      dir = argv[++i];
    else if (!std::strcmp(argv[i], "--rounds") && i + 1 < argc)
      rounds = std::max(1, std::atoi(argv[++i]));
    else if (!std::strcmp(argv[i], "--cold-runs") && i + 1 < argc)
      coldRuns = std::max(1, std::atoi(argv[++i]));
    else
      rest.push_back(argv[i]);
  }
  const std::filesystem::path work = std::filesystem::path(dir) / ("orvane-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(work);

  // The search kernels alone, through the benchmark library.
  const char* searchKinds[] = {"random filler", "zero filler", "back-to-back records", "00 90 pairs"};
  for (const orvane::SignatureKernel& kernel : orvane::signatureKernels())
    for (const char* kind : searchKinds)
      benchmark::RegisterBenchmark((std::string("search ") + kernel.name + "/" + kind).c_str(), BM_Search, kernel,
                                   std::string(kind));
  int restArgc = static_cast<int>(rest.size());
  benchmark::Initialize(&restArgc, rest.data());
  Collector r;
  benchmark::RunSpecifiedBenchmarks(&r);

  const std::uint64_t bytes = sizeMiB << 20;
  const auto size = static_cast<double>(bytes);
  const Filler kinds[] = {Filler::Random, Filler::Zero, Filler::BackToBack};
  std::map<Filler, std::string> paths;
  std::map<Filler, Rounds> results;
  for (Filler kind : kinds) {
    paths[kind] = (work / ("movie-" + std::to_string(static_cast<int>(kind)) + ".3mm")).string();
    if (!orvane::bench::writeMovie(paths[kind], bytes, kind)) {
      std::fprintf(stderr, "cannot write %s\n", paths[kind].c_str());
      return 1;
    }
    plainRead(paths[kind]);  // into the page cache
    results[kind] = measure(paths[kind], rounds);
  }

  std::printf(
      "\nScan of %llu MiB movies with 255 previews, in the page cache; GB/s (median of %d rounds) and ratio "
      "to the plain read (median of the rounds' ratios):\n",
      static_cast<unsigned long long>(sizeMiB), rounds);
  std::printf("  %-21s | %6s %6s %5s | %13s %8s %5s | %-9s %6s %6s %5s\n", "", "plain", "scan", "ratio",
              "plain process", "cli scan", "ratio", "one core:", "plain", "scan", "ratio");
  for (Filler kind : kinds) {
    const Rounds& m = results[kind];
    std::printf("  %-21s | %6.2f %6.2f %5.2f | %13.2f %8.2f %5.2f | %-9s %6.2f %6.2f %5.2f\n",
                orvane::bench::fillerName(kind), m.rate("plain", size), m.rate("scan", size), m.ratio("scan", "plain"),
                m.rate("plain process", size), m.rate("cli", size), m.ratio("cli", "plain process"), "",
                m.rate("one core plain", size), m.rate("one core scan", size),
                m.ratio("one core scan", "one core plain"));
  }

  std::printf("\nSearch alone, 256 KiB in cache, GB/s:\n  %-9s", "kernel");
  for (const char* kind : searchKinds) std::printf(" %21s", kind);
  for (const orvane::SignatureKernel& kernel : orvane::signatureKernels()) {
    std::printf("\n  %-9s", kernel.name);
    for (const char* kind : searchKinds) std::printf(" %21.1f", r(std::string("search ") + kernel.name + "/" + kind));
  }
  std::printf("   (the scan uses %s)\n", orvane::fastestSignatureKernel().name);

  const std::string small = (work / "small.3mm").string();
  const std::string large = (work / "large.3mm").string();
  const std::uint64_t largest = (std::uint64_t{1} << 31) - 1;  // positions stop at 2^31 - 1
  orvane::bench::writeMovie(small, 16u << 20, Filler::Random);
  orvane::bench::writeSparseMovie(large, largest);
  std::printf("\nPeak resident memory of orvane-cli scan:\n");
  std::printf("  16 MiB movie:                         %6.1f MiB\n", static_cast<double>(peakKiB(small)) / 1024);
  std::printf("  2 GiB movie (2^31 - 1 bytes, sparse): %6.1f MiB\n", static_cast<double>(peakKiB(large)) / 1024);
  std::filesystem::remove(large);

  const std::string& coldPath = paths[Filler::Random];
  Rounds cold;
  double leftCached = 0;
  for (int k = 0; k < coldRuns; ++k) {
    leftCached = std::max(leftCached, evict(coldPath));
    cold.times["plain process"].push_back(seconds([&] { run(plainProcess(coldPath)); }));
    leftCached = std::max(leftCached, evict(coldPath));
    cold.times["cli"].push_back(seconds([&] { run(cliScan(coldPath)); }));
  }
  std::printf(
      "\nCold movie (random filler, dropped from the page cache before each run, at most %.0f %% left), "
      "median of %d:\n",
      100 * leftCached, coldRuns);
  std::printf("  plain read process %6.2f GB/s   orvane-cli scan %6.2f GB/s   ratio %5.2f\n",
              cold.rate("plain process", size), cold.rate("cli", size), cold.ratio("cli", "plain process"));

  std::filesystem::remove_all(work);
  return 0;
}
