// SPDX-License-Identifier: GPL-3.0-or-later
#include "previews/signature_search.h"

#include <bit>

#include "previews/record_format.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define ORVANE_WIDE_SEARCH 1  // AVX2 and AVX-512, chosen at run time
#include <immintrin.h>
#endif

namespace orvane {

namespace {

using record::kTrailerOffset;

// Positions per step of every kernel: one bit each in a 64-bit mask.
constexpr std::size_t kBlock = 64;

// Byte-by-byte test of each position in [from, to), for the few positions a
// block test leaves over at the end.
void findOneByOne(const std::uint8_t* data, std::size_t from, std::size_t to, std::vector<std::uint32_t>& hits) {
  for (std::size_t j = from; j < to; ++j)
    if (record::signatureAt(data + j)) hits.push_back(static_cast<std::uint32_t>(j));
}

inline bool trailerAt(const std::uint8_t* p) {
  return p[kTrailerOffset] == record::kTrailer[0] && p[kTrailerOffset + 1] == record::kTrailer[1] &&
         p[kTrailerOffset + 2] == record::kTrailer[2];
}

inline bool justOne(std::uint64_t mask) { return (mask & (mask - 1)) == 0; }

// Appends block + k for every bit k of `mask`, lowest first.
inline void addEach(std::size_t block, std::uint64_t mask, std::vector<std::uint32_t>& hits) {
  for (; mask != 0; mask &= mask - 1)
    hits.push_back(static_cast<std::uint32_t>(block + static_cast<std::size_t>(std::countr_zero(mask))));
}

// The block of 64 positions at data + j has the prefix at the positions of
// `prefixes` (not empty). A lone one has its trailer tested directly; several
// have theirs compared all at once by `trailers`, which gives the mask of the
// block's positions whose trailer holds.
template <std::uint64_t (*trailers)(const std::uint8_t*)>
inline void keepMatches(const std::uint8_t* data, std::size_t j, std::uint64_t prefixes,
                        std::vector<std::uint32_t>& hits) {
  if (justOne(prefixes)) {
    const std::size_t at = j + static_cast<std::size_t>(std::countr_zero(prefixes));
    if (trailerAt(data + at)) hits.push_back(static_cast<std::uint32_t>(at));
  } else {
    addEach(j, prefixes & trailers(data + j), hits);
  }
}

void findPortable(const std::uint8_t* data, std::size_t count, std::vector<std::uint32_t>& hits) {
  std::size_t j = 0;
  for (; j + kBlock <= count; j += kBlock) {
    const std::uint8_t* q = data + j;
    // Non-short-circuit operators keep both passes free of branches, so that
    // the compiler vectorises them; the second runs only where a prefix is.
    std::uint8_t prefix = 0;
    for (std::size_t k = 0; k < kBlock; ++k)
      prefix |= static_cast<std::uint8_t>((q[k] == record::kPrefix0) & (q[k + 1] == record::kPrefix1));
    if (prefix == 0) continue;
    std::uint8_t whole = 0;
    for (std::size_t k = 0; k < kBlock; ++k) {
      whole |= static_cast<std::uint8_t>(
          (q[k] == record::kPrefix0) & (q[k + 1] == record::kPrefix1) & (q[k + kTrailerOffset] == record::kTrailer[0]) &
          (q[k + kTrailerOffset + 1] == record::kTrailer[1]) & (q[k + kTrailerOffset + 2] == record::kTrailer[2]));
    }
    if (whole != 0) findOneByOne(data, j, j + kBlock, hits);
  }
  findOneByOne(data, j, count, hits);
}

#if defined(__SSE2__)
inline __m128i load16(const std::uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline __m128i equal16(const std::uint8_t* p, std::uint8_t value) {
  return _mm_cmpeq_epi8(load16(p), _mm_set1_epi8(static_cast<char>(value)));
}
inline std::uint64_t bits16(__m128i lanes) { return static_cast<std::uint32_t>(_mm_movemask_epi8(lanes)); }

// 0xFF in lane k where position q + k holds the prefix.
inline __m128i prefix16(const std::uint8_t* q) {
  return _mm_and_si128(equal16(q, record::kPrefix0), equal16(q + 1, record::kPrefix1));
}
// Bit k set where position q + k has the trailer, for the 64 positions from q.
inline std::uint64_t trailers64Sse2(const std::uint8_t* q) {
  std::uint64_t mask = 0;
  for (std::size_t part = 0; part < 4; ++part) {
    const std::uint8_t* t = q + 16 * part + kTrailerOffset;
    const __m128i lanes =
        _mm_and_si128(_mm_and_si128(equal16(t, record::kTrailer[0]), equal16(t + 1, record::kTrailer[1])),
                      equal16(t + 2, record::kTrailer[2]));
    mask |= bits16(lanes) << (16 * part);
  }
  return mask;
}

void findSse2(const std::uint8_t* data, std::size_t count, std::vector<std::uint32_t>& hits) {
  std::size_t j = 0;
  for (; j + kBlock <= count; j += kBlock) {
    const std::uint8_t* q = data + j;
    const __m128i a = prefix16(q), b = prefix16(q + 16), c = prefix16(q + 32), d = prefix16(q + 48);
    if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(c, d))) == 0) continue;
    const std::uint64_t prefixes = bits16(a) | bits16(b) << 16 | bits16(c) << 32 | bits16(d) << 48;
    keepMatches<trailers64Sse2>(data, j, prefixes, hits);
  }
  findOneByOne(data, j, count, hits);
}
#endif

#if defined(ORVANE_WIDE_SEARCH)
__attribute__((target("avx2"))) inline __m256i equal32(const std::uint8_t* p, std::uint8_t value) {
  return _mm256_cmpeq_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)),
                           _mm256_set1_epi8(static_cast<char>(value)));
}
__attribute__((target("avx2"))) inline std::uint64_t bits32(__m256i lanes) {
  return static_cast<std::uint32_t>(_mm256_movemask_epi8(lanes));
}
__attribute__((target("avx2"))) inline __m256i prefix32(const std::uint8_t* q) {
  return _mm256_and_si256(equal32(q, record::kPrefix0), equal32(q + 1, record::kPrefix1));
}
__attribute__((target("avx2"))) inline std::uint64_t trailers64Avx2(const std::uint8_t* q) {
  std::uint64_t mask = 0;
  for (std::size_t part = 0; part < 2; ++part) {
    const std::uint8_t* t = q + 32 * part + kTrailerOffset;
    const __m256i lanes =
        _mm256_and_si256(_mm256_and_si256(equal32(t, record::kTrailer[0]), equal32(t + 1, record::kTrailer[1])),
                         equal32(t + 2, record::kTrailer[2]));
    mask |= bits32(lanes) << (32 * part);
  }
  return mask;
}

__attribute__((target("avx2"))) void findAvx2(const std::uint8_t* data, std::size_t count,
                                              std::vector<std::uint32_t>& hits) {
  std::size_t j = 0;
  for (; j + kBlock <= count; j += kBlock) {
    const std::uint8_t* q = data + j;
    const __m256i a = prefix32(q), b = prefix32(q + 32);
    const __m256i any = _mm256_or_si256(a, b);
    if (_mm256_testz_si256(any, any)) continue;
    const std::uint64_t prefixes = bits32(a) | bits32(b) << 32;
    keepMatches<trailers64Avx2>(data, j, prefixes, hits);
  }
  findOneByOne(data, j, count, hits);
}

__attribute__((target("avx512bw"))) inline std::uint64_t equal64(const std::uint8_t* p, std::uint8_t value) {
  return _mm512_cmpeq_epi8_mask(_mm512_loadu_si512(p), _mm512_set1_epi8(static_cast<char>(value)));
}
__attribute__((target("avx512bw"))) inline std::uint64_t trailers64Avx512(const std::uint8_t* q) {
  const std::uint8_t* t = q + kTrailerOffset;
  return equal64(t, record::kTrailer[0]) & equal64(t + 1, record::kTrailer[1]) & equal64(t + 2, record::kTrailer[2]);
}

__attribute__((target("avx512bw"))) void findAvx512(const std::uint8_t* data, std::size_t count,
                                                    std::vector<std::uint32_t>& hits) {
  std::size_t j = 0;
  // Two blocks a step: one test and branch for 128 positions of filler.
  for (; j + 2 * kBlock <= count; j += 2 * kBlock) {
    const std::uint8_t* q = data + j;
    const std::uint64_t first = equal64(q, record::kPrefix0) & equal64(q + 1, record::kPrefix1);
    const std::uint64_t second = equal64(q + kBlock, record::kPrefix0) & equal64(q + kBlock + 1, record::kPrefix1);
    if ((first | second) == 0) continue;
    if (first != 0) keepMatches<trailers64Avx512>(data, j, first, hits);
    if (second != 0) keepMatches<trailers64Avx512>(data, j + kBlock, second, hits);
  }
  findOneByOne(data, j, count, hits);
}
#endif

std::vector<SignatureKernel> kernelsHere() {
  std::vector<SignatureKernel> kernels;
#if defined(ORVANE_WIDE_SEARCH)
  if (__builtin_cpu_supports("avx512bw")) kernels.push_back({"avx512", findAvx512});
  if (__builtin_cpu_supports("avx2")) kernels.push_back({"avx2", findAvx2});
#endif
#if defined(__SSE2__)
  kernels.push_back({"sse2", findSse2});
#endif
  kernels.push_back({"portable", findPortable});
  return kernels;
}

}  // namespace

std::span<const SignatureKernel> signatureKernels() {
  static const std::vector<SignatureKernel> kernels = kernelsHere();
  return kernels;
}

const SignatureKernel& fastestSignatureKernel() { return signatureKernels().front(); }

void findSignatures(const std::uint8_t* data, std::size_t count, std::vector<std::uint32_t>& hits) {
  fastestSignatureKernel().search(data, count, hits);
}

}  // namespace orvane
