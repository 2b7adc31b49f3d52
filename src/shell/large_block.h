// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Large blocks of memory (the stores, a whole journal read at once) placed on
// large-page boundaries and advised to be backed by large pages where the
// system has them: first touching tens of megabytes page by page costs more
// than reading them, most of all in a virtual machine.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace orvane {

// At least `bytes` bytes, not zeroed; throws std::bad_alloc like new.
void* allocateLarge(std::size_t bytes);
void freeLarge(void* block) noexcept;

struct LargeFree {
  void operator()(std::uint8_t* block) const noexcept { freeLarge(block); }
};
using LargeBytes = std::unique_ptr<std::uint8_t[], LargeFree>;

inline LargeBytes largeBytes(std::size_t bytes) { return LargeBytes(static_cast<std::uint8_t*>(allocateLarge(bytes))); }

}  // namespace orvane
