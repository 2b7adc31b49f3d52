// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Importing a picture of any size and format: decoded (by the caller's
// decoder: Qt's image reader in the window and the command line), converted
// to the palette's entries 0..150, then put into the picture buffer exactly as
// a loaded BMP is (acceptPicture: the repair and colour check with their log
// lines, the picture-buffer view).
//
// Log, under "Import": "Importing <path>...", then either the line that says
// the picture's size, the fit and the dithering, or one line naming the file
// and the reason it was refused, in which case the picture buffer is unchanged.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "convert/convert.h"
#include "shell/core.h"
#include "shell/error.h"
#include "shell/index_picture.h"
#include "workflow/put_back.h"

namespace orvane {

using PictureDecoder =
    std::function<Result<convert::SourcePicture>(const std::string& path, const convert::Framing& framing)>;

// The palette entries a picture may use (0..150), from pal.
std::vector<convert::Rgb8> pictureColours(const Stores& s);

struct PreparedPicture {
  IndexPicture picture;
  std::string description;  // the log line that says what was done
};

// Decodes and converts; touches no store, so it may run on another thread.
Result<PreparedPicture> preparePicture(const std::string& path, const std::vector<convert::Rgb8>& colours,
                                       const convert::ConvertOptions& options, const PictureDecoder& decode);

// The steps around preparePicture, for a caller that prepares the picture
// elsewhere (the window, on a worker thread) or keeps it (the command line's
// convert): the first log line; the line that tells what became of the
// picture; and that line followed, for a converted picture, by acceptPicture.
void logImportStart(Core& core, const std::string& path);
Status logPrepared(Core& core, const std::string& path, const Result<PreparedPicture>& prepared);
Status finishImport(Core& core, const std::string& path, const Result<PreparedPicture>& prepared);

// Converts a picture into a BMP file of its own (144 x 81, 8-bit, with the
// colour table of the picture colours), with importPicture's log lines for
// `shownPath` (the name the user gave, where `path` may be a copy), leaving
// the picture buffer as it is. A refusal has been logged; it comes back for a
// caller that also says it where the log is not seen.
Result<std::vector<std::uint8_t>> convertToBmp(Core& core, const std::string& path, const std::string& shownPath,
                                               const convert::ConvertOptions& options, const PictureDecoder& decode);

// The whole import in one call.
Status importPicture(Core& core, const std::string& path, const convert::ConvertOptions& options,
                     const PictureDecoder& decode);

// Reads each picture of a folder as importPicture reads one (decoded by
// `decode`, converted with `options` to the colours of `s`'s palette), for
// putting a folder of any pictures back.
FolderPictureReader convertingReader(const Stores& s, const convert::ConvertOptions& options,
                                     const PictureDecoder& decode);

}  // namespace orvane
