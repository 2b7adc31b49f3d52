// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's shared state: fixed-size stores, created zeroed once at start-up
// and kept for the whole run. Index ranges are the ones the procedures use, so
// unused cells (preview 0, row 0, column 0 ...) exist and simply stay zero.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "shell/file_identity.h"
#include "shell/index_picture.h"

namespace orvane {

inline constexpr int kGridCells = 12;     // cells 1..12 per page
inline constexpr int kMaxPreviews = 255;  // previews 1..255

// The highest palette entry a picture may use; the repair pass clears higher ones.
inline constexpr int kHighestPictureColour = 150;

struct Stores {
  // The stores take several megabytes. They live in a block the system may
  // back with large pages: touching them first then costs a few page faults
  // instead of thousands, which is most of a short command's start-up.
  static void* operator new(std::size_t bytes);
  static void operator delete(void* block, std::size_t bytes);

  // Global stores.
  std::string appdir;  // ends in one separator
  std::int16_t selpic = 0;

  // Stores of the main window.
  std::string moviefile;
  std::int32_t piccount = 0;
  std::int16_t posnum = 0;
  std::int32_t page = 0;

  // Beside the position table, what ties a write to the scan: the movie's
  // identity when it was scanned and a checksum (CRC-32) of each found
  // record's 11829 bytes as they were then (recordChecksum). A write by Orvane
  // itself updates both; anything else that changes them makes a write refuse.
  FileIdentity scannedMovie{};
  // Counts scans, so that what was shown for one scan is never acted on after the next.
  std::uint32_t scanSerial = 0;

  // True once a BMP has been loaded and repaired: the all-zero buffer of a
  // program that never loaded one must not be written into a movie.
  bool pictureLoaded = false;
  // The file name (without its folder) of the picture in the buffer, which
  // the journal records with a replacement so that the history can name it.
  std::string pictureName;

  // The one home of the stores' index arithmetic. Pictures are RecordPictures:
  // rows top first from 0, each with its row prefix beside it.

  // Preview n (1..piccount; 0 is never a preview and stays blank).
  RecordPicture& preview(int n) { return previews_[at(n)]; }
  const RecordPicture& preview(int n) const { return previews_[at(n)]; }
  // Place j (0..145) of picture row y (0..80, top first) of preview n.
  std::uint8_t& previewByte(int n, int y, int j) { return preview(n).byte(y, j); }
  std::uint8_t previewByte(int n, int y, int j) const { return preview(n).byte(y, j); }
  // Pixel x (0..143) of picture row y (0..80, top first) of preview n.
  std::uint8_t& previewPixel(int n, int y, int x) { return preview(n).pixels.at(x, y); }
  std::uint8_t previewPixel(int n, int y, int x) const { return preview(n).pixels.at(x, y); }

  // The picture buffer: the picture waiting to go into the movie.
  RecordPicture& pictureBuffer() { return pictureBuffer_; }
  const RecordPicture& pictureBuffer() const { return pictureBuffer_; }
  // Place j (0..145) of picture row y (0..80, top first) of the picture buffer.
  std::uint8_t& bufferByte(int y, int j) { return pictureBuffer_.byte(y, j); }
  std::uint8_t bufferByte(int y, int j) const { return pictureBuffer_.byte(y, j); }
  // Pixel x (0..143) of picture row y (0..80, top first) of the picture buffer.
  std::uint8_t& bufferPixel(int y, int x) { return pictureBuffer_.pixels.at(x, y); }
  std::uint8_t bufferPixel(int y, int x) const { return pictureBuffer_.pixels.at(x, y); }

  // One-based position of preview n's record in the movie (0 for none).
  std::int32_t& recordPosition(int n) { return recordPositions_[at(n)]; }
  std::int32_t recordPosition(int n) const { return recordPositions_[at(n)]; }
  // Checksum of preview n's record bytes as last seen in the movie.
  std::uint32_t& recordChecksum(int n) { return recordSums_[at(n)]; }
  std::uint32_t recordChecksum(int n) const { return recordSums_[at(n)]; }

  // Pixel origin of grid cell k (1..12) inside the grid.
  std::int32_t cellX(int k) const { return cellOrigins_[at(k)][0]; }
  std::int32_t cellY(int k) const { return cellOrigins_[at(k)][1]; }

  // Colour component c (1 red, 2 green, 3 blue) of palette entry e (0..255).
  std::int16_t& palComponent(int e, int c) { return palette_[at(e)][at(c)]; }
  std::int16_t palComponent(int e, int c) const { return palette_[at(e)][at(c)]; }

 private:
  friend void setlists(Stores& s);
  static std::size_t at(int index) { return static_cast<std::size_t>(index); }

  std::array<RecordPicture, kMaxPreviews + 1> previews_{};  // preview 0..255
  RecordPicture pictureBuffer_{};
  std::array<std::int32_t, kMaxPreviews + 1> recordPositions_{};           // preview 0..255
  std::array<std::uint32_t, kMaxPreviews + 1> recordSums_{};               // preview 0..255
  std::array<std::array<std::int16_t, 4>, 257> palette_{};                 // entry 0..256, component 0..3
  std::array<std::array<std::int32_t, 2>, kGridCells + 1> cellOrigins_{};  // cell 0..12: x, y
};

// The one instance, allocated on the heap (the preview store alone is about
// 3 MB) and never resized.
std::unique_ptr<Stores> makeStores();

// Places grid cells 1..12 (cellX, cellY).
void setlists(Stores& s);

// The application directory from the executable's directory: exactly one
// trailing separator, none added to a root that already ends in one.
std::string withTrailingSeparator(std::string dir, char separator);

}  // namespace orvane
