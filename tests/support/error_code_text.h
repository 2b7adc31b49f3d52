// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A short fixed name for each error code, so that a failed comparison of
// codes reads as words.
#include "shell/error.h"

namespace orvane::testing {

inline const char* errorCodeText(ErrorCode code) {
  switch (code) {
    case ErrorCode::NotFound: return "file not found";
    case ErrorCode::AccessDenied: return "access denied";
    case ErrorCode::IsDirectory: return "is a folder";
    case ErrorCode::NotRegularFile: return "not a regular file";
    case ErrorCode::NoSpace: return "no space left";
    case ErrorCode::TooLarge: return "too large";
    case ErrorCode::Busy: return "in use by another writer";
    case ErrorCode::Io: return "input/output error";
    case ErrorCode::BmpRefused: return "BMP refused";
    case ErrorCode::BmpCompressed: return "BMP is compressed";
    case ErrorCode::PaletteTooShort: return "palette too short";
    case ErrorCode::PaletteNotANumber: return "palette field not a number";
    case ErrorCode::PaletteOutOfRange: return "palette field out of range";
    case ErrorCode::PaletteDamaged: return "palette damaged";
    case ErrorCode::TooManyColours: return "too many colours";
    case ErrorCode::OutputIsLink: return "output is a link";
    case ErrorCode::OutputIsSource: return "output is the movie";
    case ErrorCode::PictureUnsupported: return "picture format not supported";
    case ErrorCode::PictureCorrupt: return "picture corrupt";
    case ErrorCode::PictureEmpty: return "picture empty";
    case ErrorCode::PictureTooLarge: return "picture too large";
    case ErrorCode::NothingToInsert: return "nothing to insert";
    case ErrorCode::NoSuchPreview: return "no such preview";
    case ErrorCode::MovieMoved: return "movie moved";
    case ErrorCode::MovieChanged: return "movie changed";
    case ErrorCode::WriteFailed: return "write failed";
    case ErrorCode::JournalFailed: return "journal failed";
    case ErrorCode::NothingToUndo: return "nothing to undo";
    case ErrorCode::Unchanged: return "unchanged";
    case ErrorCode::NotOwnFile: return "not the user's own file";
    case ErrorCode::NothingToRedo: return "nothing to redo";
    case ErrorCode::SceneChangedSince: return "scene changed since";
    case ErrorCode::OutsidePicture: return "outside the picture";
  }
  return "unknown error";
}

}  // namespace orvane::testing
