#include "previews/movie_file.h"

#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace orvane {

namespace {

std::string errnoText(int error) { return std::generic_category().message(error); }

// Only a regular file has a length worth walking; a device or a pipe does not.
constexpr const char* kNotRegular = "Not a regular file";

#ifdef _WIN32
// _open shares the file for reading and writing with other handles by default.
int openForReading(const std::string& path) { return ::_open(path.c_str(), _O_RDONLY | _O_BINARY); }
int closeHandle(int handle) { return ::_close(handle); }
long long readSome(int handle, std::uint8_t* into, std::size_t count) {
  return ::_read(handle, into, static_cast<unsigned>(count));
}
// Takes the length of an open regular file; returns why not, or an empty text.
std::string measure(int handle, long long& length) {
  struct _stat64 st {};
  if (::_fstat64(handle, &st) != 0) return errnoText(errno);
  if ((st.st_mode & _S_IFMT) == _S_IFDIR) return errnoText(EISDIR);
  if ((st.st_mode & _S_IFMT) != _S_IFREG) return kNotRegular;
  length = st.st_size;
  return {};
}
#else
int openForReading(const std::string& path) {
  int flags = O_RDONLY;
#ifdef O_CLOEXEC
  flags |= O_CLOEXEC;
#endif
  int handle;
  do handle = ::open(path.c_str(), flags);
  while (handle < 0 && errno == EINTR);
#ifdef POSIX_FADV_SEQUENTIAL
  // A scan reads front to back once; let the kernel read ahead generously.
  if (handle >= 0) ::posix_fadvise(handle, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
  return handle;
}
int closeHandle(int handle) { return ::close(handle); }
long long readSome(int handle, std::uint8_t* into, std::size_t count) { return ::read(handle, into, count); }
std::string measure(int handle, long long& length) {
  struct stat st {};
  if (::fstat(handle, &st) != 0) return errnoText(errno);
  if (S_ISDIR(st.st_mode)) return errnoText(EISDIR);
  if (!S_ISREG(st.st_mode)) return kNotRegular;
  length = static_cast<long long>(st.st_size);
  return {};
}
#endif

}  // namespace

MovieFile::MovieFile(const std::string& path) {
  const int handle = openForReading(path);
  if (handle < 0) {
    error_ = errnoText(errno);
    return;
  }
  long long length = 0;
  error_ = measure(handle, length);
  if (!error_.empty()) {
    closeHandle(handle);
    return;
  }
  handle_ = handle;
  length_ = length;
}

MovieFile::~MovieFile() { close(); }

std::size_t MovieFile::read(std::uint8_t* into, std::size_t count) {
  std::size_t done = 0;
  while (isOpen() && done < count) {
    const long long got = readSome(handle_, into + done, count - done);
    if (got > 0) {
      done += static_cast<std::size_t>(got);
    } else if (got == 0) {
      break;  // end of file
    } else if (errno != EINTR) {
      error_ = errnoText(errno);
      break;
    }
  }
  return done;
}

void MovieFile::close() {
  if (handle_ >= 0) closeHandle(handle_);
  handle_ = -1;
}

}  // namespace orvane
