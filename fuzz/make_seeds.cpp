// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the starting corpus of the fuzz targets: sound files and the classic
// malformed ones, each small, under <out>/bmp_loader, <out>/palette and
// <out>/scan. The files are checked in; run this again after changing it:
//   orvane-fuzz-seeds fuzz/corpus
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "display/palette.h"
#include "previews/record_format.h"
#include "replace/bmp_format.h"
#include "replace/bmp_writer.h"
#include "sample_data.h"

namespace {

namespace fs = std::filesystem;
using namespace orvane;
using Bytes = std::vector<std::uint8_t>;

fs::path outRoot;
int written = 0;

void save(const std::string& folder, const std::string& name, const Bytes& bytes) {
  const fs::path dir = outRoot / folder;
  fs::create_directories(dir);
  std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    std::fprintf(stderr, "cannot write %s\n", (dir / name).string().c_str());
    std::exit(1);
  }
  ++written;
}

void saveText(const std::string& folder, const std::string& name, const std::string& text) {
  save(folder, name, Bytes(text.begin(), text.end()));
}

using sample::filler;
using sample::put;

// --- BMP ----------------------------------------------------------------------

Bytes picture(int colours, int maxValue) {
  IndexPicture rows;
  for (int r = 0; r < bmp::kHeight; ++r)
    for (int c = 0; c < bmp::kWidth; ++c)
      rows.at(c, bmp::rowFromTop(r)) = static_cast<std::uint8_t>((r * 7 + c * 3) % (maxValue + 1));
  std::vector<bmp::Rgb> table(static_cast<std::size_t>(colours));
  for (int i = 0; i < colours; ++i)
    table[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i / 2)};
  return bmp::encode8(rows, table).value();
}

void le16(Bytes& b, std::size_t at, std::uint16_t v) { bmp::writeLe16(b, at, v); }
void le32(Bytes& b, std::size_t at, std::uint32_t v) { bmp::writeLe32(b, at, v); }
// Sets bfSize to the real length, as a careful writer would.
void sizeFits(Bytes& b) { le32(b, bmp::kFileSize, static_cast<std::uint32_t>(b.size())); }

void bmpSeeds() {
  const std::string d = "bmp_loader";
  const Bytes full = picture(256, 150);
  save(d, "valid-full-table.bmp", full);
  save(d, "valid-small-table.bmp", picture(16, 15));
  save(d, "valid-no-table.bmp", picture(0, 150));
  save(d, "valid-values-above-150.bmp", picture(256, 255));

  auto variant = [&](const std::string& name, auto change) {
    Bytes b = full;
    change(b);
    save(d, name, b);
  };
  variant("offbits-zero.bmp", [](Bytes& b) { le32(b, bmp::kPixelOffset, 0); });
  variant("offbits-inside-headers.bmp", [](Bytes& b) { le32(b, bmp::kPixelOffset, 20); });
  variant("offbits-at-end.bmp", [](Bytes& b) { le32(b, bmp::kPixelOffset, static_cast<std::uint32_t>(b.size())); });
  variant("offbits-one-past-fit.bmp", [](Bytes& b) {
    le32(b, bmp::kPixelOffset, static_cast<std::uint32_t>(b.size() - bmp::kPixelBytes + 1));
  });
  variant("offbits-last-fit.bmp", [](Bytes& b) {
    le32(b, bmp::kPixelOffset, static_cast<std::uint32_t>(b.size() - bmp::kPixelBytes));
  });
  variant("offbits-max.bmp", [](Bytes& b) { le32(b, bmp::kPixelOffset, 0xFFFFFFFFu); });
  variant("offbits-wraps-to-fit.bmp", [](Bytes& b) { le32(b, bmp::kPixelOffset, 0u - bmp::kPixelBytes); });

  variant("height-negative.bmp", [](Bytes& b) { le32(b, bmp::kHeightField, static_cast<std::uint32_t>(-81)); });
  variant("height-int-min.bmp", [](Bytes& b) { le32(b, bmp::kHeightField, 0x80000000u); });
  variant("height-int-max.bmp", [](Bytes& b) { le32(b, bmp::kHeightField, 0x7FFFFFFFu); });
  variant("height-zero.bmp", [](Bytes& b) { le32(b, bmp::kHeightField, 0); });
  variant("width-int-min.bmp", [](Bytes& b) { le32(b, bmp::kWidthField, 0x80000000u); });
  variant("width-negative.bmp", [](Bytes& b) { le32(b, bmp::kWidthField, static_cast<std::uint32_t>(-144)); });
  variant("width-zero.bmp", [](Bytes& b) { le32(b, bmp::kWidthField, 0); });
  variant("width-huge.bmp", [](Bytes& b) { le32(b, bmp::kWidthField, 0x7FFFFFFFu); });
  variant("size-swapped.bmp", [](Bytes& b) {
    le32(b, bmp::kWidthField, 81);
    le32(b, bmp::kHeightField, 144);
  });

  variant("planes-zero.bmp", [](Bytes& b) { le16(b, bmp::kPlanes, 0); });
  variant("planes-two.bmp", [](Bytes& b) { le16(b, bmp::kPlanes, 2); });
  for (const int bits : {0, 1, 4, 16, 24, 32, 0xFFFF})
    variant("bitcount-" + std::to_string(bits) + ".bmp",
            [bits](Bytes& b) { le16(b, bmp::kBitCount, static_cast<std::uint16_t>(bits)); });
  for (const std::uint32_t kind : {1u, 2u, 3u, 6u, 0xFFFFFFFFu})
    variant("compression-" + std::to_string(kind) + ".bmp", [kind](Bytes& b) { le32(b, bmp::kCompression, kind); });
  variant("compression-and-bad-offbits.bmp", [](Bytes& b) {
    le32(b, bmp::kCompression, 1);
    le32(b, bmp::kPixelOffset, 0xFFFFFFF0u);
  });

  variant("info-size-12.bmp", [](Bytes& b) { le32(b, bmp::kInfoSize, 12); });
  variant("info-size-huge.bmp", [](Bytes& b) { le32(b, bmp::kInfoSize, 0xFFFFFFFFu); });
  variant("image-size-huge.bmp", [](Bytes& b) { le32(b, bmp::kImageSize, 0xFFFFFFFFu); });
  variant("colours-used-huge.bmp", [](Bytes& b) { le32(b, bmp::kColoursUsed, 0xFFFFFFFFu); });
  variant("type-BA.bmp", [](Bytes& b) { b[1] = 'A'; });
  variant("type-MB.bmp", [](Bytes& b) { std::swap(b[0], b[1]); });

  variant("stated-size-zero.bmp", [](Bytes& b) { le32(b, bmp::kFileSize, 0); });
  variant("stated-size-one-more.bmp", [](Bytes& b) { le32(b, bmp::kFileSize, static_cast<std::uint32_t>(b.size() + 1)); });
  variant("stated-size-one-less.bmp", [](Bytes& b) { le32(b, bmp::kFileSize, static_cast<std::uint32_t>(b.size() - 1)); });
  variant("stated-size-max.bmp", [](Bytes& b) { le32(b, bmp::kFileSize, 0xFFFFFFFFu); });
  variant("trailing-bytes.bmp", [](Bytes& b) {
    b.resize(b.size() + 100, 0xAB);
    sizeFits(b);
  });

  // Truncations: inside the headers, the colour table and the pixel area,
  // with the stated size left as it was and with it fitted to the cut.
  for (const std::size_t cut : {std::size_t{1}, std::size_t{2}, std::size_t{6}, std::size_t{29}, std::size_t{33},
                                std::size_t{34}, std::size_t{54}, std::size_t{54 + 512},
                                full.size() - bmp::kPixelBytes / 2, full.size() - 1}) {
    variant("truncated-at-" + std::to_string(cut) + ".bmp", [cut](Bytes& b) { b.resize(cut); });
    if (cut >= 6)
      variant("truncated-fitted-at-" + std::to_string(cut) + ".bmp", [cut](Bytes& b) {
        b.resize(cut);
        sizeFits(b);
      });
  }
  save(d, "empty.bmp", {});
  save(d, "just-BM.bmp", {'B', 'M'});
}

// --- palette ------------------------------------------------------------------

std::string entries(int count, const std::string& lineEnd, int start = 0) {
  std::string text;
  for (int e = start; e < start + count; ++e)
    text += "c" + std::to_string(e) + "," + std::to_string(e % 256) + "," + std::to_string((e * 3) % 256) + "," +
            std::to_string(255 - e % 256) + lineEnd;
  return text;
}

void paletteSeeds() {
  const std::string d = "palette";
  saveText(d, "valid-shipped.palette", formatPaletteFile(defaultPalette()));
  saveText(d, "valid-lf.palette", entries(256, "\n"));
  saveText(d, "valid-cr-only.palette", entries(256, "\r"));
  saveText(d, "valid-no-final-line-end.palette", entries(255, "\n") + "last,1,2,3");
  saveText(d, "valid-then-extra.palette", entries(256, "\n") + "extra,1,2,3\nrubbish,x,y\n");
  saveText(d, "short-10.palette", entries(10, "\r\n"));
  saveText(d, "short-255.palette", entries(255, "\r\n"));
  saveText(d, "short-missing-blue.palette", entries(255, "\n") + "last,1,2\n");
  saveText(d, "empty.palette", "");
  saveText(d, "only-commas.palette", std::string(1100, ','));
  saveText(d, "only-line-ends.palette", "\r\n\n\r\r\n\n");
  saveText(d, "words.palette", "red,green,blue,white\n" + entries(255, "\n"));
  saveText(d, "word-late.palette", entries(200, "\n") + "x,1,two,3\n" + entries(55, "\n"));
  saveText(d, "huge-number.palette", "a,99999999999999999999999999,1,1\n" + entries(255, "\n", 1));
  saveText(d, "range-edges.palette", "a,32767,0,255\nb,32768,0,0\n" + entries(254, "\n", 2));
  saveText(d, "negative.palette", "a,-1,0,0\n" + entries(255, "\n", 1));
  saveText(d, "negative-zero-and-plus.palette", "a,-0,+7,+0\nb,+,1,1\n" + entries(254, "\n", 2));
  saveText(d, "blank-lines.palette", "\n\n" + entries(128, "\n\n\n") + "\r\n\r\n" + entries(128, "\r\n", 128) + "\n\n");
  saveText(d, "blanks-around-fields.palette", " \t name , 1 ,\t2\t, 3 \n" + entries(255, " \t\n", 1));
  saveText(d, "empty-fields.palette", "a,,1,2\n" + entries(255, "\n", 1));
  saveText(d, "trailing-comma.palette", entries(256, ",\n"));
  std::string spread;
  for (int e = 0; e < 256; ++e) spread += "n\n" + std::to_string(e) + "\n0\n0\n";
  saveText(d, "one-field-a-line.palette", spread);
  std::string odd = "na\xC3\xA9me,1,2,3\n";
  odd += std::string("nul\0x,1,2,3\n", 12);
  saveText(d, "utf8-and-nul.palette", odd + entries(254, "\n", 2));
  saveText(d, "mixed-line-ends.palette", entries(64, "\r") + entries(64, "\n", 64) + entries(64, "\r\n", 128) +
                                             entries(64, "\n\r", 192));
}

// --- movies ---------------------------------------------------------------------

// A record whose pixels are all 1..150 (so no prefix inside), seeded to differ.
Bytes record(int seed) {
  return record::buildRecord([seed](int c, int r) { return 1 + (r * 5 + c + seed * 11) % 150; });
}

// The first byte picks the scan's chunk size: 512 + 128 * (b >> 2) when b & 3
// is not 0. This gives the byte for a given size.
std::uint8_t chunkPick(std::size_t chunkBytes) { return static_cast<std::uint8_t>(((chunkBytes - 512) / 128) << 2 | 1); }

// `n` records starting at 0, 3, 6, ...: prefixes 00 90 xx repeated, trailers
// 01 00 03 repeated 11826 bytes on. Every one is a match.
Bytes packedMatches(int n) {
  Bytes movie = filler(static_cast<std::size_t>(record::kTrailerOffset + 3 * n + 8), 7);
  for (int k = 0; k < n; ++k) {
    movie[static_cast<std::size_t>(3 * k)] = 0x00;
    movie[static_cast<std::size_t>(3 * k + 1)] = 0x90;
    for (int i = 0; i < 3; ++i) movie[static_cast<std::size_t>(record::kTrailerOffset + 3 * k + i)] = record::kTrailer[i];
  }
  return movie;
}

void scanSeeds() {
  const std::string d = "scan";
  save(d, "empty.3mm", {});
  save(d, "one-byte.3mm", {0x00});
  save(d, "prefix-only.3mm", {0x00, 0x90});
  save(d, "tiny-filler.3mm", filler(40, 1));

  save(d, "one-record-exactly.3mm", record(1));
  Bytes m = filler(16000, 2);
  put(m, 0, record(2));
  save(d, "record-at-0.3mm", m);

  m = filler(4001, 3);
  m[0] = chunkPick(4096);
  put(m, m.size(), record(3));
  save(d, "record-at-end.3mm", m);

  m = record(4);
  m.pop_back();
  save(d, "truncated-trailer.3mm", m);
  m = filler(100, 5);
  put(m, 100, record(5));
  m.resize(m.size() - 2);
  save(d, "truncated-trailer-after-filler.3mm", m);

  m = filler(20000, 6);
  put(m, 10, record(6));
  m[10 + record::kTrailerOffset + 2] = 0x04;
  save(d, "trailer-wrong.3mm", m);
  m = filler(20000, 7);
  put(m, 10, record(7));
  m[11] = 0x91;
  save(d, "prefix-wrong.3mm", m);

  // Two records sharing bytes: the second starts on a row prefix of the first.
  m = filler(200, 8);
  m[0] = chunkPick(640);
  put(m, 200, record(8));
  const Bytes trailer(record::kTrailer, record::kTrailer + 3);
  put(m, 200 + 146 + record::kTrailerOffset, trailer);
  save(d, "overlapping-on-row.3mm", m);
  // ... and three, the last only three bytes after the one before.
  m = filler(12000, 9);
  m[0] = chunkPick(4096);
  for (std::size_t at : {std::size_t{3000}, std::size_t{3003}, std::size_t{3006}}) {
    m[at] = 0x00;
    m[at + 1] = 0x90;
    put(m, at + record::kTrailerOffset, trailer);
  }
  save(d, "overlapping-three-bytes-apart.3mm", m);

  // Damaged row prefixes, repaired when extracted.
  m = filler(300, 10);
  put(m, 300, record(10));
  for (int r : {1, 2, 40, 80}) {
    m[300 + static_cast<std::size_t>(r) * 146] = 0x07;
    m[300 + static_cast<std::size_t>(r) * 146 + 1] = 0x08;
  }
  put(m, m.size(), filler(500, 11));
  save(d, "damaged-prefixes.3mm", m);

  // Three records, each across chunk boundaries of a small chunk size.
  m = {chunkPick(4096)};
  put(m, 1, filler(4090, 12));
  for (int k = 0; k < 3; ++k) put(m, m.size(), record(20 + k));
  save(d, "three-records-small-chunks.3mm", m);
  m[0] = 0x04;  // the default chunk size
  save(d, "three-records-default-chunks.3mm", m);

  // The preview store's limit: 255, 256 and 300 matches.
  for (int n : {255, 256, 300}) {
    Bytes packed = packedMatches(n);
    save(d, "packed-" + std::to_string(n) + "-matches.3mm", packed);
  }

  // Many prefixes, no trailers; many trailers, no prefixes.
  m.assign(30000, 0);
  for (std::size_t i = 1; i < m.size(); i += 2) m[i] = 0x90;
  save(d, "prefixes-everywhere.3mm", m);
  m.clear();
  while (m.size() < 30000) put(m, m.size(), trailer);
  save(d, "trailers-everywhere.3mm", m);
  save(d, "zeros.3mm", Bytes(20000, 0));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
    return 2;
  }
  outRoot = argv[1];
  bmpSeeds();
  paletteSeeds();
  scanSeeds();
  std::printf("%d seed files written under %s\n", written, outRoot.string().c_str());
  return 0;
}
