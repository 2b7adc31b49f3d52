// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The logic's one way of reporting failure: a returned value that holds either
// a result or an Error. An Error carries a code, for the program to decide
// what to do, and a message, for the user to read; the window and the command
// line decide how the user sees it.
#include <cstdlib>
#include <string>
#include <system_error>
#include <utility>
#include <variant>

namespace orvane {

enum class ErrorCode {
  // Files, as the operating system reports them.
  NotFound,        // no such file or folder
  AccessDenied,    // permissions, or a read-only file system
  IsDirectory,     // a folder where a file belongs
  NotRegularFile,  // a pipe, socket or device where a file belongs
  NoSpace,         // the disk is full
  TooLarge,        // beyond a size limit (positions, a file-size limit)
  Busy,            // another writer holds the file's lock
  Io,              // any other failure of the system call
  // Reading what Orvane understands.
  BmpRefused,     // not a 144 x 81, 8-bit, uncompressed, bottom-up BMP
  BmpCompressed,  // the same, but run-length encoded
  PaletteTooShort,
  PaletteNotANumber,
  PaletteOutOfRange,
  PaletteDamaged,  // a palette format it reads, but broken or cut short
  TooManyColours,  // more colours than a BMP colour table holds
  // Writing files of our own.
  OutputIsLink,    // the output name is a symbolic link
  OutputIsSource,  // the output is the file being read
  // Importing a picture of any format.
  PictureUnsupported,  // not a picture format the program reads
  PictureCorrupt,      // a picture format it reads, but broken or cut short
  PictureEmpty,        // no pixels at all
  PictureTooLarge,     // decoding it would take more memory than allowed
  // Replacing a scene preview.
  NothingToInsert,  // no picture loaded yet
  NoSuchPreview,
  MovieMoved,    // the movie is no longer where it was opened
  MovieChanged,  // the movie no longer holds the record found by the scan
  WriteFailed,   // writing, flushing or verifying the record failed
  // The journal of replacements.
  JournalFailed,  // the journal could not be read or written
  NothingToUndo,
  NothingToRedo,
  SceneChangedSince,  // the record no longer holds what the journal says it should
  Unchanged,          // the movie already holds what was to be written: nothing to do
  NotOwnFile,         // a file Orvane keeps for the user is a link, or another user's, or writable by others
  OutsidePicture,     // a crop or focus that does not lie inside the picture
};

struct Error {
  ErrorCode code;
  std::string message;  // what the user reads: a sentence, or the system's own text
};

// The operating system's error number as an Error, its message the system's
// own text ("No such file or directory").
Error systemError(int errnum);
// The same for an error the standard library reports (std::filesystem).
Error fromErrorCode(const std::error_code& ec);

// Either a T or an Error. Test it (`if (!result)`) before taking the value.
template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::move(value)) {}      // NOLINT: implicit by design
  Result(Error error) : state_(std::move(error)) {}  // NOLINT

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  // The value; asking for it after a failure is a programming error.
  T& value() & { return std::get<0>(checked()); }
  const T& value() const& { return std::get<0>(checked()); }
  T&& value() && { return std::get<0>(std::move(checked())); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }

  const Error& error() const { return std::get<1>(state_); }

 private:
  std::variant<T, Error>& checked() {
    if (!ok()) std::abort();
    return state_;
  }
  const std::variant<T, Error>& checked() const {
    if (!ok()) std::abort();
    return state_;
  }
  std::variant<T, Error> state_;
};

// Success, or an Error.
template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Error error) : error_(std::move(error)), failed_(true) {}  // NOLINT: implicit by design

  bool ok() const { return !failed_; }
  explicit operator bool() const { return ok(); }
  const Error& error() const { return error_; }

 private:
  Error error_{ErrorCode::Io, {}};
  bool failed_ = false;
};

using Status = Result<void>;

// What a procedure that tells the user returns. It has told every failure
// itself, through the Host (a box, or a log line under its tag) or, on the
// command line, on standard error, at its place among the other lines; so a
// Told carries no text that could be told again, only whether it succeeded
// and what kind of failure it was, for the caller to stop or to pick an exit
// status. Ignoring one is fine: nothing is left to tell.
class Told {
 public:
  Told() = default;
  Told(const Error& error) : code_(error.code), failed_(true) {}  // NOLINT: a told failure, by design
  explicit Told(ErrorCode code) : code_(code), failed_(true) {}
  // A Status whose failure the procedure that returned it has already told
  // (in the log), kept only to steer.
  static Told from(const Status& status) { return status ? Told() : Told(status.error()); }

  bool ok() const { return !failed_; }
  explicit operator bool() const { return ok(); }
  // The failure's code; asking for it after a success is a programming error.
  ErrorCode code() const {
    if (!failed_) std::abort();
    return code_;
  }

 private:
  ErrorCode code_ = ErrorCode::Io;
  bool failed_ = false;
};

// A step whose failure costs nothing now and is not told, because a later
// step settles it (a journal mark the next opening settles, a journal pruned
// by a later write). Each call says why next to it.
template <class T>
void settledLater(const Result<T>&) {}

}  // namespace orvane
