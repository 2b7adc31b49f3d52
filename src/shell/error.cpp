// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/error.h"

#include <cerrno>
#include <system_error>

namespace orvane {

Error systemError(int errnum) {
  ErrorCode code = ErrorCode::Io;
  switch (errnum) {
    case ENOENT:
    case ENOTDIR: code = ErrorCode::NotFound; break;
    case EACCES:
    case EPERM:
    case EROFS: code = ErrorCode::AccessDenied; break;
    case EISDIR: code = ErrorCode::IsDirectory; break;
    case ENOSPC: code = ErrorCode::NoSpace; break;
    case EFBIG:
    case EOVERFLOW: code = ErrorCode::TooLarge; break;
    default: break;
  }
  return {code, std::generic_category().message(errnum)};
}

Error fromErrorCode(const std::error_code& ec) {
  // The standard library reports the system's own numbers in the generic
  // category, and in the system category on POSIX systems.
#ifdef _WIN32
  const bool isErrno = ec.category() == std::generic_category();
#else
  const bool isErrno = ec.category() == std::generic_category() || ec.category() == std::system_category();
#endif
  if (isErrno) return systemError(ec.value());
  return {ErrorCode::Io, ec.message()};
}

}  // namespace orvane
