// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "sample_data.h"
#include "shell/checksum.h"

namespace orvane {
namespace {

std::span<const std::uint8_t> bytesOf(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// The published check value, and a checksum carried across pieces of every
// length (eight bytes are taken at a time, the rest one by one).
TEST(ChecksumTest, KnownValueAndContinuationOverAnySplit) {
  EXPECT_EQ(crc32(bytesOf("123456789")), 0xCBF43926u);
  EXPECT_EQ(crc32({}), 0u);
  sample::Rng rng(5);
  std::vector<std::uint8_t> data(1000);
  sample::randomBytes(rng, data);
  const std::uint32_t whole = crc32(data);
  for (std::size_t cut = 0; cut <= 40; ++cut)
    EXPECT_EQ(crc32(std::span(data).subspan(cut), crc32(std::span(data).first(cut))), whole) << cut;
}

}  // namespace
}  // namespace orvane
