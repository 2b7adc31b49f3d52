// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/stores.h"

#include "shell/large_block.h"

namespace orvane {

void* Stores::operator new(std::size_t bytes) { return allocateLarge(bytes); }

void Stores::operator delete(void* block, std::size_t) { freeLarge(block); }

std::unique_ptr<Stores> makeStores() { return std::make_unique<Stores>(); }

void setlists(Stores& s) {
  // Four columns 154 pixels apart, three rows 90 pixels apart.
  for (int k = 1; k <= kGridCells; ++k) {
    s.cellOrigins_[Stores::at(k)] = {((k - 1) % 4) * 154, ((k - 1) / 4) * 90};
  }
}

std::string withTrailingSeparator(std::string dir, char separator) {
  if (dir.empty() || dir.back() != separator) dir.push_back(separator);
  return dir;
}

}  // namespace orvane
