#pragma once
// The program's shared state: fixed-size stores, created zeroed once at start-up
// and kept for the whole run. Index ranges are the ones the procedures use, so
// unused cells (preview 0, row 0, column 0 ...) exist and simply stay zero.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace orvane {

inline constexpr int kTagCount = 51;        // tagnames 0..50
inline constexpr int kGridCells = 12;       // cells 1..12 per page
inline constexpr int kMaxPreviews = 255;    // previews 1..255

struct Stores {
  // Global stores.
  std::string appdir;                                   // ends in one separator
  std::array<std::string, kTagCount> tagnames{};        // 0..50
  std::array<std::array<std::int32_t, 3>, 13> gridpos{};  // cell 0..12, column 0..2
  std::array<std::array<std::array<std::int16_t, 147>, 82>, 256> pics{};  // preview, row, column
  std::array<std::array<std::int16_t, 147>, 82> blimp{};  // row 0..81, column 0..146
  std::array<std::array<std::int16_t, 4>, 257> pal{};    // entry 0..256, column 0..3
  std::int16_t selpic = 0;

  // Stores of the main window.
  std::string moviefile;
  std::int32_t piccount = 0;
  std::int16_t posnum = 0;
  std::array<std::array<std::int32_t, 3>, 256> picpos{};  // preview 0..255, column 0..2
  std::int32_t page = 0;

  // True once a BMP has been loaded and repaired: the all-zero buffer of a
  // program that never loaded one must not be written into a movie.
  bool pictureLoaded = false;
};

// The one instance, allocated on the heap (the preview store alone is about
// 6 MB) and never resized.
std::unique_ptr<Stores> makeStores();

// Fills tagnames 0..13 and gridpos cells 1..12.
void setlists(Stores& s);

// The application directory from the executable's directory: exactly one
// trailing separator, none added to a root that already ends in one.
std::string withTrailingSeparator(std::string dir, char separator);

}  // namespace orvane
