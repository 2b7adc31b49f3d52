// SPDX-License-Identifier: GPL-3.0-or-later
#include "workflow/preview_export.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "display/palette.h"
#include "replace/bmp_writer.h"
#include "shell/atomic_write.h"
#include "shell/tags.h"
#include "shell/utf8_path.h"

namespace orvane {

std::vector<std::uint8_t> previewBmp(const Stores& s, int n) {
  const int which = std::clamp(n, 0, kMaxPreviews);
  return bmp::encode8(s.preview(which).pixels, pictureColourTable(s)).value();  // 151 colours always fit
}

std::vector<bmp::Rgb> pictureColourTable(const Stores& s) {
  std::vector<bmp::Rgb> colours;
  for (int e = 0; e <= kHighestPictureColour; ++e) {
    const std::uint32_t argb = paletteArgb(s, e);
    colours.push_back(
        {static_cast<std::uint8_t>(argb >> 16), static_cast<std::uint8_t>(argb >> 8), static_cast<std::uint8_t>(argb)});
  }
  return colours;
}

std::string previewFileStem(const Stores& s) {
  std::string name = utf8FromPath(pathFromUtf8(s.moviefile).stem());
  if (const auto slash = name.find_last_of("\\"); slash != std::string::npos) name = name.substr(slash + 1);
  return name.empty() ? "preview" : name;
}

std::vector<ExportItem> exportPlan(const Stores& s, const std::string& dir) {
  const std::string name = previewFileStem(s);
  std::vector<ExportItem> items;
  for (int n = 1; n <= std::min(s.piccount, kMaxPreviews); ++n) {
    char number[8];
    std::snprintf(number, sizeof number, "%03d", n);
    items.push_back({n, utf8FromPath(pathFromUtf8(dir) / pathFromUtf8(name + "-" + number + ".bmp"))});
  }
  return items;
}

Status writePreviewBmp(const Stores& s, int n, const std::string& path) {
  // Never through a link, never over the movie, never half-written.
  return writeFileAtomically(path, previewBmp(s, n), s.moviefile);
}

int exportPreviews(Core& core, const std::vector<ExportItem>& items, const std::string& dir) {
  int written = 0;
  for (const auto& item : items) {
    if (const auto saved = writePreviewBmp(core.s, item.preview, item.path); !saved) {
      core.logline("Could not write " + item.path + " (" + saved.error().message + ")", tag::Extract);
    } else {
      core.logline("Wrote preview " + std::to_string(item.preview) + " to " + item.path, tag::Extract);
      ++written;
    }
  }
  core.logline("Exported " + std::to_string(written) + " of " + std::to_string(items.size()) + " previews to " + dir,
               tag::Extract);
  return written;
}

}  // namespace orvane
