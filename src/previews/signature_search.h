// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finds every position in a run of bytes where a preview record's signature
// holds: the row prefix 00 90 there and the trailer 01 00 03 11826 bytes on.
//
// Each kernel tests only the two prefix bytes for a whole block of positions
// (two loads per vector), which is all that filler ever costs. A block with a
// single prefix has that one trailer checked directly; a block with several
// (densely packed records, whose prefixes recur every 146 bytes, or runs of
// 00 90 pairs) has all its trailers compared in one branch-free pass, so no
// kind of data falls to testing position by position.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace orvane {

// Appends to `hits`, in increasing order, every offset j < count at which
// data[j..j+11828] holds the signature. The caller guarantees count + 11828
// readable bytes at `data` and count below 2^32.
using SignatureSearch = void (*)(const std::uint8_t* data, std::size_t count, std::vector<std::uint32_t>& hits);

struct SignatureKernel {
  const char* name;  // "avx512", "avx2", "sse2", "portable"
  SignatureSearch search;
};

// Every kernel this processor can run, fastest first: AVX-512 (64 positions a
// compare) and AVX2 (32) where the processor has them, SSE2 on every x86-64,
// and plain C++ everywhere. All find the same.
std::span<const SignatureKernel> signatureKernels();

// The fastest kernel here (the first of signatureKernels()), chosen once.
const SignatureKernel& fastestSignatureKernel();

// Searches with the fastest kernel.
void findSignatures(const std::uint8_t* data, std::size_t count, std::vector<std::uint32_t>& hits);

}  // namespace orvane
