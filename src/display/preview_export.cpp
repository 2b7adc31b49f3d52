#include "display/preview_export.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "replace/bmp_writer.h"
#include "shell/atomic_write.h"
#include "shell/tags.h"

namespace orvane {

std::vector<std::uint8_t> previewBmp(const Stores& s, int n) {
  bmp::PixelRows rows{};
  const auto& preview = s.pics[static_cast<std::size_t>(std::clamp(n, 0, kMaxPreviews))];
  // BMP rows run bottom-up: file row r is stored row 81 - r.
  for (int r = 0; r < kPictureHeight; ++r)
    for (int x = 0; x < kPictureWidth; ++x)
      rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(x)] =
          static_cast<std::uint8_t>(std::clamp<int>(preview[81 - r][x + 3], 0, 255));
  std::vector<bmp::Rgb> colours(256);
  for (int e = 0; e < 256; ++e) {
    auto c = [&](int column) { return static_cast<std::uint8_t>(std::clamp<int>(s.pal[e][column], 0, 255)); };
    colours[static_cast<std::size_t>(e)] = {c(1), c(2), c(3)};
  }
  return bmp::encode8(rows, colours);
}

std::vector<ExportItem> exportPlan(const Stores& s, const std::string& dir) {
  std::string name = std::filesystem::path(s.moviefile).stem().string();
  if (const auto slash = name.find_last_of("\\"); slash != std::string::npos) name = name.substr(slash + 1);
  if (name.empty()) name = "preview";
  std::vector<ExportItem> items;
  for (int n = 1; n <= std::min(s.piccount, kMaxPreviews); ++n) {
    char number[8];
    std::snprintf(number, sizeof number, "%03d", n);
    items.push_back({n, (std::filesystem::path(dir) / (name + "-" + number + ".bmp")).string()});
  }
  return items;
}

std::error_code writePreviewBmp(const Stores& s, int n, const std::string& path) {
  // Never through a link, never over the movie, never half-written.
  return writeFileAtomically(path, previewBmp(s, n), s.moviefile);
}

int exportPreviews(Core& core, const std::vector<ExportItem>& items, const std::string& dir) {
  int written = 0;
  for (const auto& item : items) {
    if (const auto ec = writePreviewBmp(core.s, item.preview, item.path)) {
      core.logline("Could not write " + item.path + " (" + ec.message() + ")", tag::Extract);
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
