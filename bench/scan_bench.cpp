// Scan throughput and memory on large generated movies.
//
// For each kind of movie (random filler, zero filler, back-to-back records) it
// measures a plain sequential read of the cached file, the library's scan and
// `orvane-cli scan` as a whole process, and prints each as a ratio to the plain
// read of the same run. Then the peak resident memory of `orvane-cli scan` on a
// 16 MiB and on the large movie.
//
//   orvane-bench [--size-mib N] [--dir DIR] [benchmark flags]
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "movie_files.h"
#include "workflow/open_movie.h"
#include "shell/core.h"

extern char** environ;

namespace {

using orvane::bench::Filler;

using orvane::NullHost;

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

struct ChildResult {
  int status = -1;
  long maxRssKiB = 0;
};

// Runs orvane-cli with its output thrown away; reports its own peak memory.
ChildResult runCli(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  std::string cli = ORVANE_CLI_PATH;
  argv.push_back(cli.data());
  std::vector<std::string> copy = args;
  for (auto& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  ChildResult result;
  if (posix_spawn(&pid, cli.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
    rusage usage{};
    if (wait4(pid, &result.status, 0, &usage) == pid) result.maxRssKiB = usage.ru_maxrss;
  }
  posix_spawn_file_actions_destroy(&actions);
  return result;
}

std::uint64_t fileSize(const std::string& path) { return std::filesystem::file_size(path); }

void BM_PlainRead(benchmark::State& state, const std::string& path) {
  for (auto _ : state) benchmark::DoNotOptimize(plainRead(path));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fileSize(path)));
}

void BM_Scan(benchmark::State& state, const std::string& path) {
  NullHost host;
  orvane::Core core(host);
  for (auto _ : state) {
    if (!orvane::loadfile3(core, path)) state.SkipWithError("cannot open movie");
    benchmark::DoNotOptimize(core.s.piccount);
  }
  state.counters["previews"] = core.s.piccount;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fileSize(path)));
}

void BM_CliScan(benchmark::State& state, const std::string& path) {
  for (auto _ : state)
    if (runCli({"scan", path}).status != 0) state.SkipWithError("orvane-cli scan failed");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fileSize(path)));
}

// Keeps every run's throughput so the ratios can be printed at the end.
class Collector : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& run : runs) {
      const auto it = run.counters.find("bytes_per_second");
      std::string name = run.benchmark_name();
      if (const auto suffix = name.rfind("/real_time"); suffix != std::string::npos) name.erase(suffix);
      if (it != run.counters.end()) rates[name] = it->second.value;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> rates;
};

}  // namespace

int main(int argc, char** argv) {
  std::uint64_t sizeMiB = 1024;
  std::string dir = std::filesystem::temp_directory_path().string();
  std::vector<char*> rest{argv[0]};
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--size-mib") && i + 1 < argc) sizeMiB = std::strtoull(argv[++i], nullptr, 10);
    else if (!std::strcmp(argv[i], "--dir") && i + 1 < argc) dir = argv[++i];
    else rest.push_back(argv[i]);
  }
  const std::filesystem::path work = std::filesystem::path(dir) / ("orvane-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(work);

  const std::uint64_t bytes = sizeMiB << 20;
  const Filler kinds[] = {Filler::Random, Filler::Zero, Filler::BackToBack};
  std::map<Filler, std::string> paths;
  for (Filler kind : kinds) {
    const std::string path = (work / (std::string("movie-") + std::to_string(static_cast<int>(kind)) + ".3mm")).string();
    if (!orvane::bench::writeMovie(path, bytes, kind)) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
    plainRead(path);  // warm the page cache
    paths[kind] = path;
    const std::string name = orvane::bench::fillerName(kind);
    benchmark::RegisterBenchmark(("plain read/" + name).c_str(), BM_PlainRead, path)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark(("scan/" + name).c_str(), BM_Scan, path)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark(("orvane-cli scan/" + name).c_str(), BM_CliScan, path)->Unit(benchmark::kMillisecond)->UseRealTime();
  }

  int restArgc = static_cast<int>(rest.size());
  benchmark::Initialize(&restArgc, rest.data());
  Collector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);

  std::printf("\nScan throughput on %llu MiB movies with 255 previews (ratio to a plain read of the same file):\n",
              static_cast<unsigned long long>(sizeMiB));
  std::printf("  %-22s %12s %12s %7s %16s %7s\n", "movie", "plain GB/s", "scan GB/s", "ratio", "cli scan GB/s", "ratio");
  for (Filler kind : kinds) {
    const std::string name = orvane::bench::fillerName(kind);
    const double plain = collector.rates["plain read/" + name] / 1e9;
    const double scan = collector.rates["scan/" + name] / 1e9;
    const double cli = collector.rates["orvane-cli scan/" + name] / 1e9;
    std::printf("  %-22s %12.2f %12.2f %7.2f %16.2f %7.2f\n", name.c_str(), plain, scan, plain > 0 ? scan / plain : 0,
                cli, plain > 0 ? cli / plain : 0);
  }

  const std::string small = (work / "small.3mm").string();
  orvane::bench::writeMovie(small, 16u << 20, Filler::Random);
  const ChildResult smallRun = runCli({"scan", small});
  const ChildResult largeRun = runCli({"scan", paths[Filler::Random]});
  std::printf("\nPeak resident memory of orvane-cli scan:\n");
  std::printf("  16 MiB movie: %6.1f MiB\n", smallRun.maxRssKiB / 1024.0);
  std::printf("  %llu MiB movie: %6.1f MiB\n", static_cast<unsigned long long>(sizeMiB), largeRun.maxRssKiB / 1024.0);

  std::filesystem::remove_all(work);
  return 0;
}
