// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CRC-32 (the polynomial of zip and PNG) of a run of bytes: the check that a
// journal entry arrived whole, and the fingerprint of a preview record as the
// scan found it.
#include <cstddef>
#include <cstdint>
#include <span>

namespace orvane {

// The checksum of `bytes`, continuing from `crc` (the checksum of the bytes
// before them; 0 to start).
std::uint32_t crc32(std::span<const std::uint8_t> bytes, std::uint32_t crc = 0);

}  // namespace orvane
