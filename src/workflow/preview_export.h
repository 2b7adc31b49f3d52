// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Takes scene previews out of the preview store as BMP files that the BMP
// loader accepts: 144 x 81, 8-bit, bottom-up, with a colour table of the 151
// palette colours a picture may use, so that a paint program offers none that
// loading would clear.
#include <cstdint>
#include <string>
#include <vector>

#include "replace/bmp_writer.h"
#include "shell/core.h"
#include "shell/error.h"

namespace orvane {

// Palette entries 0..150 from pal, as a BMP colour table.
std::vector<bmp::Rgb> pictureColourTable(const Stores& s);

// The BMP file for preview n (1..piccount), top row of the preview on top.
// Pixel values above 150 (which loading clears) are kept as they are.
std::vector<std::uint8_t> previewBmp(const Stores& s, int n);

struct ExportItem {
  int preview = 0;
  std::string path;
};

// The movie name the files are named after: the movie's file name without
// its extension ("preview" for a name without any).
std::string previewFileStem(const Stores& s);

// "<movie name>-<NNN>.bmp" in `dir` for every preview of the current movie.
std::vector<ExportItem> exportPlan(const Stores& s, const std::string& dir);

// Writes one preview to `path`, replacing a file that is there, by way of a
// temporary file and a rename; refuses links, folders and the movie itself.
Status writePreviewBmp(const Stores& s, int n, const std::string& path);

// Writes every item, logging one line per file and a summary under "Extract".
// Returns the number of files written.
int exportPreviews(Core& core, const std::vector<ExportItem>& items, const std::string& dir);

}  // namespace orvane
