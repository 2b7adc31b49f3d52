#include "previews/signature_search.h"

#include <bit>

#include "previews/record_format.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define ORVANE_AVX2_SEARCH 1
#include <immintrin.h>
#endif

namespace orvane {

namespace {

using record::kTrailerOffset;

// Byte-by-byte test of each position in [from, to), for the few positions a
// block test leaves over and for blocks known to hold a match.
void findOneByOne(const std::uint8_t* data, std::size_t from, std::size_t to, std::vector<std::uint32_t>& hits) {
  for (std::size_t j = from; j < to; ++j)
    if (record::signatureAt(data + j)) hits.push_back(static_cast<std::uint32_t>(j));
}

#if defined(__SSE2__)
// 0xFF in each lane k whose position q + k has all five signature bytes.
inline __m128i matchLanes(const std::uint8_t* q) {
  const auto at = [q](std::size_t k) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + k)); };
  const auto is = [](__m128i bytes, std::uint8_t value) {
    return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(value)));
  };
  __m128i all = is(at(0), record::kPrefix0);
  all = _mm_and_si128(all, is(at(1), record::kPrefix1));
  all = _mm_and_si128(all, is(at(kTrailerOffset), record::kTrailer[0]));
  all = _mm_and_si128(all, is(at(kTrailerOffset + 1), record::kTrailer[1]));
  return _mm_and_si128(all, is(at(kTrailerOffset + 2), record::kTrailer[2]));
}

// The lanes as a 16-bit mask, lane k in bit k.
inline std::uint64_t bits(__m128i lanes) { return static_cast<std::uint32_t>(_mm_movemask_epi8(lanes)); }
#endif

#if defined(ORVANE_AVX2_SEARCH)
// 0xFF in each lane k whose position q + k has all five signature bytes, 32 at once.
__attribute__((target("avx2"))) inline __m256i matchLanes32(const std::uint8_t* q) {
  const __m256i p0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(q));
  const __m256i p1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(q + 1));
  const __m256i t0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(q + kTrailerOffset));
  const __m256i t1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(q + kTrailerOffset + 1));
  const __m256i t2 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(q + kTrailerOffset + 2));
  __m256i all = _mm256_cmpeq_epi8(p0, _mm256_set1_epi8(static_cast<char>(record::kPrefix0)));
  all = _mm256_and_si256(all, _mm256_cmpeq_epi8(p1, _mm256_set1_epi8(static_cast<char>(record::kPrefix1))));
  all = _mm256_and_si256(all, _mm256_cmpeq_epi8(t0, _mm256_set1_epi8(static_cast<char>(record::kTrailer[0]))));
  all = _mm256_and_si256(all, _mm256_cmpeq_epi8(t1, _mm256_set1_epi8(static_cast<char>(record::kTrailer[1]))));
  return _mm256_and_si256(all, _mm256_cmpeq_epi8(t2, _mm256_set1_epi8(static_cast<char>(record::kTrailer[2]))));
}

bool cpuHasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}
#endif

}  // namespace

#if defined(ORVANE_AVX2_SEARCH)
__attribute__((target("avx2"))) void findSignaturesAvx2(const std::uint8_t* data, std::size_t count,
                                                        std::vector<std::uint32_t>& hits) {
  std::size_t j = 0;
  for (; j + 64 <= count; j += 64) {
    const __m256i a = matchLanes32(data + j), b = matchLanes32(data + j + 32);
    const __m256i any = _mm256_or_si256(a, b);
    if (_mm256_testz_si256(any, any)) continue;
    const std::uint64_t mask = static_cast<std::uint32_t>(_mm256_movemask_epi8(a)) |
                               static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(b))) << 32;
    for (std::uint64_t m = mask; m != 0; m &= m - 1)
      hits.push_back(static_cast<std::uint32_t>(j + static_cast<std::size_t>(std::countr_zero(m))));
  }
  findOneByOne(data, j, count, hits);
}

bool avx2SearchAvailable() { return cpuHasAvx2(); }
#else
void findSignaturesAvx2(const std::uint8_t* data, std::size_t count, std::vector<std::uint32_t>& hits) {
  findSignatures(data, count, hits);
}
bool avx2SearchAvailable() { return false; }
#endif

void findSignaturesPortable(const std::uint8_t* data, std::size_t count, std::vector<std::uint32_t>& hits) {
  constexpr std::size_t kBlock = 64;
  std::size_t j = 0;
  for (; j + kBlock <= count; j += kBlock) {
    const std::uint8_t* q = data + j;
    // Non-short-circuit operators keep the loop free of branches, so that it vectorises.
    std::uint8_t any = 0;
    for (std::size_t k = 0; k < kBlock; ++k) {
      any |= static_cast<std::uint8_t>((q[k] == record::kPrefix0) & (q[k + 1] == record::kPrefix1) &
                                       (q[k + kTrailerOffset] == record::kTrailer[0]) &
                                       (q[k + kTrailerOffset + 1] == record::kTrailer[1]) &
                                       (q[k + kTrailerOffset + 2] == record::kTrailer[2]));
    }
    if (any != 0) findOneByOne(data, j, j + kBlock, hits);
  }
  findOneByOne(data, j, count, hits);
}

void findSignatures(const std::uint8_t* data, std::size_t count, std::vector<std::uint32_t>& hits) {
#if defined(ORVANE_AVX2_SEARCH)
  // Processors from the last decade compare 32 positions at a time.
  if (cpuHasAvx2()) return findSignaturesAvx2(data, count, hits);
#endif
#if defined(__SSE2__)
  // 64 positions at a time; only a group holding a match is taken apart.
  std::size_t j = 0;
  for (; j + 64 <= count; j += 64) {
    const __m128i a = matchLanes(data + j), b = matchLanes(data + j + 16);
    const __m128i c = matchLanes(data + j + 32), d = matchLanes(data + j + 48);
    if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(c, d))) == 0) continue;
    const std::uint64_t mask = bits(a) | bits(b) << 16 | bits(c) << 32 | bits(d) << 48;
    for (std::uint64_t m = mask; m != 0; m &= m - 1)
      hits.push_back(static_cast<std::uint32_t>(j + static_cast<std::size_t>(std::countr_zero(m))));
  }
  findOneByOne(data, j, count, hits);
#else
  findSignaturesPortable(data, count, hits);
#endif
}

}  // namespace orvane
