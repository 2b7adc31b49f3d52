#include "shell/stores.h"

#include <new>

#include "shell/platform.h"

namespace orvane {

namespace {
constexpr std::size_t kLargePage = std::size_t{2} << 20;
constexpr std::size_t roundedUp(std::size_t bytes) { return (bytes + kLargePage - 1) / kLargePage * kLargePage; }
}  // namespace

void* Stores::operator new(std::size_t bytes) {
  void* block = ::operator new(roundedUp(bytes), std::align_val_t{kLargePage});
  adviseLargePages(block, roundedUp(bytes));
  return block;
}

void Stores::operator delete(void* block, std::size_t) { ::operator delete(block, std::align_val_t{kLargePage}); }

std::unique_ptr<Stores> makeStores() { return std::make_unique<Stores>(); }

void setlists(Stores& s) {
  static constexpr const char* kNames[] = {
      "unknown",  "Main",       "Scanner", "Extract", "Checksum", "Palette",   "Extract_2",
      "APIExtract", "Repairer", "ColorMatcher", "About", "BMPsys", "Replace", "Extract_3", "Import"};
  for (std::size_t i = 0; i < std::size(kNames); ++i) s.tagnames[i] = kNames[i];

  // Four columns 154 pixels apart, three rows 90 pixels apart.
  for (int k = 1; k <= kGridCells; ++k) {
    s.gridpos[static_cast<std::size_t>(k)][1] = ((k - 1) % 4) * 154;
    s.gridpos[static_cast<std::size_t>(k)][2] = ((k - 1) / 4) * 90;
  }
}

std::string withTrailingSeparator(std::string dir, char separator) {
  if (dir.empty() || dir.back() != separator) dir.push_back(separator);
  return dir;
}

}  // namespace orvane
