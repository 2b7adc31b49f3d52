// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/large_block.h"

#include <new>

#include "shell/platform.h"

namespace orvane {
namespace {
constexpr std::size_t kLargePage = std::size_t{2} << 20;
constexpr std::size_t roundedUp(std::size_t bytes) { return (bytes + kLargePage - 1) / kLargePage * kLargePage; }
}  // namespace

void* allocateLarge(std::size_t bytes) {
  const std::size_t whole = roundedUp(bytes == 0 ? 1 : bytes);
  void* block = ::operator new (whole, std::align_val_t{kLargePage});
  adviseLargePages(block, whole);
  return block;
}

void freeLarge(void* block) noexcept { ::operator delete (block, std::align_val_t{kLargePage}); }

}  // namespace orvane
