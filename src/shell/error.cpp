#include "shell/error.h"

#include <cerrno>
#include <system_error>

namespace orvane {

const char* errorCodeText(ErrorCode code) {
  switch (code) {
    case ErrorCode::NotFound: return "file not found";
    case ErrorCode::AccessDenied: return "access denied";
    case ErrorCode::IsDirectory: return "is a folder";
    case ErrorCode::NotRegularFile: return "not a regular file";
    case ErrorCode::NoSpace: return "no space left";
    case ErrorCode::TooLarge: return "too large";
    case ErrorCode::Io: return "input/output error";
    case ErrorCode::BmpRefused: return "BMP refused";
    case ErrorCode::BmpCompressed: return "BMP is compressed";
    case ErrorCode::PaletteTooShort: return "palette too short";
    case ErrorCode::PaletteNotANumber: return "palette field not a number";
    case ErrorCode::PaletteOutOfRange: return "palette field out of range";
    case ErrorCode::TooManyColours: return "too many colours";
    case ErrorCode::PictureUnsupported: return "picture format not supported";
    case ErrorCode::PictureCorrupt: return "picture corrupt";
    case ErrorCode::PictureEmpty: return "picture empty";
    case ErrorCode::PictureTooLarge: return "picture too large";
    case ErrorCode::NothingToInsert: return "nothing to insert";
    case ErrorCode::NoSuchPreview: return "no such preview";
    case ErrorCode::MovieMoved: return "movie moved";
    case ErrorCode::MovieChanged: return "movie changed";
    case ErrorCode::WriteFailed: return "write failed";
  }
  return "unknown error";
}

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

}  // namespace orvane
