// SPDX-License-Identifier: GPL-3.0-or-later
// Writes what a whole-folder put back is timed on: a 16 MiB movie with 255
// previews (random filler between them) and a folder holding, for each of its
// previews, a BMP with another picture, named as the export names them.
// Usage: orvane-batch-data OUT_DIR   (writes OUT_DIR/batch.3mm and OUT_DIR/retouched/)
#include <cstdio>
#include <filesystem>
#include <string>

#include "movie_files.h"
#include "replace/bmp_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUT_DIR\n", argv[0]);
    return 2;
  }
  const std::filesystem::path out = argv[1];
  const std::filesystem::path folder = out / "retouched";
  std::filesystem::create_directories(folder);
  if (!orvane::bench::writeMovie((out / "batch.3mm").string(), 16u << 20, orvane::bench::Filler::Random)) return 1;

  std::vector<orvane::bmp::Rgb> colours;
  for (int i = 0; i <= 150; ++i)
    colours.push_back(
        {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i / 2)});
  for (int n = 1; n <= 255; ++n) {
    orvane::IndexPicture rows;
    for (int r = 0; r < orvane::bmp::kHeight; ++r)
      for (int x = 0; x < orvane::bmp::kWidth; ++x)
        rows.at(x, orvane::bmp::rowFromTop(r)) = static_cast<std::uint8_t>((x * 3 + r + n) % 151);
    const auto bytes = orvane::bmp::encode8(rows, colours);
    if (!bytes) return 1;
    char name[32];
    std::snprintf(name, sizeof name, "batch-%03d.bmp", n);
    std::FILE* f = std::fopen((folder / name).string().c_str(), "wb");
    if (!f || std::fwrite(bytes->data(), 1, bytes->size(), f) != bytes->size() || std::fclose(f) != 0) return 1;
  }
  std::printf("%s and %s (255 BMPs)\n", (out / "batch.3mm").string().c_str(), folder.string().c_str());
  return 0;
}
