#pragma once
// Finds every position in a run of bytes where a preview record's signature
// holds: the row prefix 00 90 there and the trailer 01 00 03 11826 bytes on.
// All five bytes are tested in one branch-free pass; only a block that holds a
// match is looked at more closely, so densely packed records, whose prefixes
// recur every 146 bytes, cost no more than filler.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvane {

// Appends to `hits`, in increasing order, every offset j < count at which
// data[j..j+11828] holds the signature. The caller guarantees count + 11828
// readable bytes at `data` and count below 2^32.
void findSignatures(const std::uint8_t* data, std::size_t count, std::vector<std::uint32_t>& hits);

// The same in plain C++, which the compiler vectorises; findSignatures uses it
// where SSE2 is not available.
void findSignaturesPortable(const std::uint8_t* data, std::size_t count, std::vector<std::uint32_t>& hits);

// The same 32 positions at a time with AVX2, which findSignatures picks at run
// time where the processor has it (elsewhere this is findSignatures itself).
void findSignaturesAvx2(const std::uint8_t* data, std::size_t count, std::vector<std::uint32_t>& hits);
bool avx2SearchAvailable();


}  // namespace orvane
