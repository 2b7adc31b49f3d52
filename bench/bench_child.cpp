// SPDX-License-Identifier: GPL-3.0-or-later
// The small process the scan benchmark starts beside orvane-cli:
//
//   orvane-bench-child read FILE          reads FILE 1 MiB at a time into a
//                                         page-aligned buffer, the plain
//                                         process a scan is compared with
//   orvane-bench-child peak PROGRAM ARG...  runs PROGRAM, prints its peak
//                                         resident memory in KiB
//
// The peak is taken here, in a process of its own: a child's peak counts the
// memory of the process it was started from, so one started straight from the
// benchmark, which holds far more, would report the benchmark's size.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int readAll(const char* path) {
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 1;
  constexpr std::size_t kChunk = std::size_t{1} << 20;
  void* buffer = std::aligned_alloc(4096, kChunk);
  unsigned sum = 0;
  ssize_t n;
  while ((n = ::read(fd, buffer, kChunk)) > 0) sum += static_cast<const unsigned char*>(buffer)[0];
  std::free(buffer);
  ::close(fd);
  return n < 0 ? 1 : static_cast<int>(sum & 0);
}

int peak(char** argv) {
  const pid_t pid = ::fork();
  if (pid < 0) return 1;
  if (pid == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::dup2(null, 2);
    ::execv(argv[0], argv);
    ::_exit(127);
  }
  int status = 0;
  rusage usage{};
  if (::wait4(pid, &status, 0, &usage) != pid) return 1;
  std::printf("%ld\n", usage.ru_maxrss);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && !std::strcmp(argv[1], "read")) return readAll(argv[2]);
  if (argc >= 3 && !std::strcmp(argv[1], "peak")) return peak(argv + 2);
  std::fprintf(stderr, "usage: orvane-bench-child read FILE | peak PROGRAM [ARG...]\n");
  return 2;
}
