#pragma once
// Takes scene previews out of the preview store as BMP files that the BMP
// loader accepts: 144 x 81, 8-bit, bottom-up, the loaded palette as colour table.
#include <cstdint>
#include <string>
#include <vector>

#include "shell/core.h"
#include "shell/error.h"

namespace orvane {

// The BMP file for preview n (1..piccount), top row of the preview on top.
std::vector<std::uint8_t> previewBmp(const Stores& s, int n);

struct ExportItem {
  int preview = 0;
  std::string path;
};

// "<movie name>-<NNN>.bmp" in `dir` for every preview of the current movie,
// where the movie name is its file name without the extension.
std::vector<ExportItem> exportPlan(const Stores& s, const std::string& dir);

// Writes one preview to `path`, replacing a file that is there, by way of a
// temporary file and a rename; refuses links, folders and the movie itself.
Status writePreviewBmp(const Stores& s, int n, const std::string& path);

// Writes every item, logging one line per file and a summary under "Extract".
// Returns the number of files written.
int exportPreviews(Core& core, const std::vector<ExportItem>& items, const std::string& dir);

}  // namespace orvane
