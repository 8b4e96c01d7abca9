// Decimal text in AVX2 lanes, for machines that have it (the caller checks at run time).
#include <immintrin.h>

#include "numbers/decimal_chunks.h"

namespace decimal_chunks {

// The steps of write8, one group per 64-bit lane: each lane op is the SWAR step on its own
// field, so no masks are needed.
__attribute__((target("avx2"))) void write_groups_avx2(char* out, const uint64_t* groups,
                                                       size_t n) {
  const __m256i inverse = _mm256_set1_epi64x(0xd1b71759);  // 2^45 / 10^4, rounded up
  size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(groups + i));
    // Low half of each lane: the four high digits; high half: the four low ones.
    __m256i high = _mm256_srli_epi64(_mm256_mul_epu32(v, inverse), 45);
    __m256i low = _mm256_sub_epi64(v, _mm256_mul_epu32(high, _mm256_set1_epi64x(10000)));
    __m256i x = _mm256_or_si256(high, _mm256_slli_epi64(low, 32));
    // Each 32-bit field into two of 16 bits (x div 100, x mod 100) ...
    __m256i hundreds = _mm256_srli_epi32(_mm256_mullo_epi32(x, _mm256_set1_epi32(5243)), 19);
    x = _mm256_or_si256(hundreds, _mm256_slli_epi32(_mm256_sub_epi32(
                                      x, _mm256_mullo_epi32(hundreds, _mm256_set1_epi32(100))),
                                                    16));
    // ... and each 16-bit field into two bytes (tens, units).
    __m256i tens = _mm256_srli_epi16(_mm256_mullo_epi16(x, _mm256_set1_epi16(103)), 10);
    x = _mm256_or_si256(tens, _mm256_slli_epi16(_mm256_sub_epi16(
                                  x, _mm256_mullo_epi16(tens, _mm256_set1_epi16(10))),
                                                8));
    x = _mm256_add_epi8(x, _mm256_set1_epi8('0'));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 8 * i), x);
  }
  for (; i < n; ++i) write8(out + 8 * i, groups[i]);
}

// Chunks of sixteen digits two at a time: digits joined into pairs, fours and eights by
// multiply-add within each 128-bit half, and the two eights of a half into its chunk.
__attribute__((target("avx2"))) void read_chunks_avx2(const char* text, uint64_t* chunks,
                                                      size_t n) {
  const __m256i tens = _mm256_set1_epi16(0x010A);  // bytes 10, 1
  const __m256i hundreds = _mm256_set1_epi32(0x00010064);  // words 100, 1
  const __m256i myriads = _mm256_set1_epi32(0x00012710);   // words 10000, 1
  size_t i = 0;
  for (; i + 2 <= n; i += 2) {
    __m256i v = _mm256_sub_epi8(
        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + 16 * i)),
        _mm256_set1_epi8('0'));
    __m256i pairs = _mm256_maddubs_epi16(v, tens);
    __m256i fours = _mm256_madd_epi16(pairs, hundreds);
    fours = _mm256_packus_epi32(fours, fours);
    __m256i eights = _mm256_madd_epi16(fours, myriads);  // per half: high eight, low eight
    __m256i both = _mm256_add_epi64(_mm256_mul_epu32(eights, _mm256_set1_epi64x(kPow8)),
                                    _mm256_srli_epi64(eights, 32));
    chunks[i] = uint64_t(_mm_cvtsi128_si64(_mm256_castsi256_si128(both)));
    chunks[i + 1] = uint64_t(_mm_cvtsi128_si64(_mm256_extracti128_si256(both, 1)));
  }
  for (; i < n; ++i) chunks[i] = parse16(text + 16 * i);
}

// Groups of eight digits four at a time: the same joins as read_chunks_avx2, and the four
// eights of the two halves gathered into 64-bit lanes.
__attribute__((target("avx2"))) void read_groups_avx2(const char* text, uint64_t* groups,
                                                      size_t n) {
  const __m256i tens = _mm256_set1_epi16(0x010A);
  const __m256i hundreds = _mm256_set1_epi32(0x00010064);
  const __m256i myriads = _mm256_set1_epi32(0x00012710);
  const __m256i gather = _mm256_setr_epi32(0, 1, 4, 5, 0, 0, 0, 0);
  size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    __m256i v = _mm256_sub_epi8(
        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + 8 * i)),
        _mm256_set1_epi8('0'));
    __m256i fours = _mm256_madd_epi16(_mm256_maddubs_epi16(v, tens), hundreds);
    fours = _mm256_packus_epi32(fours, fours);
    __m256i eights = _mm256_madd_epi16(fours, myriads);
    __m128i four = _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(eights, gather));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(groups + i), _mm256_cvtepu32_epi64(four));
  }
  for (; i < n; ++i) groups[i] = parse8(text + 8 * i);
}

// Each group's product g k splits into high and low halves at 10^8; the output group is its
// low half plus the high half of the group below and a carry of 0 or 1. That carry is the
// neighbour's own overflow unless the neighbour's sum is exactly 10^8 - 1 (then an incoming
// carry would pass through): such a block, rare in any real numeral, takes the serial chain.
__attribute__((target("avx2"))) uint64_t multiply_groups_avx2(uint64_t* groups, size_t n,
                                                              uint64_t k, uint64_t carry) {
  uint64_t high[kGroupBlock + 1];
  uint64_t sum[kGroupBlock + 1];
  const __m256i factor = _mm256_set1_epi64x(int64_t(k));
  const __m256i reciprocal = _mm256_set1_epi64x(int64_t((k << 32) / kPow8));
  const __m256i base = _mm256_set1_epi64x(int64_t(kPow8));
  const __m256i below = _mm256_set1_epi64x(int64_t(kPow8 - 1));
  // Halves: the quotient estimate from the reciprocal is at most one too small.
  size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    __m256i g = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(groups + i));
    __m256i q = _mm256_srli_epi64(_mm256_mul_epu32(g, reciprocal), 32);
    __m256i r = _mm256_sub_epi64(_mm256_mul_epu32(g, factor), _mm256_mul_epu32(q, base));
    __m256i fix = _mm256_cmpgt_epi64(r, below);
    q = _mm256_sub_epi64(q, fix);
    r = _mm256_sub_epi64(r, _mm256_and_si256(fix, base));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(high + i), q);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(groups + i), r);
  }
  for (; i < n; ++i) {
    uint64_t p = groups[i] * k;
    high[i] = p / kPow8;
    groups[i] = p % kPow8;
  }
  high[n] = carry;
  // Sums below 2 10^8, and whether any could pass a carry through.
  __m256i through = _mm256_setzero_si256();
  for (i = 0; i + 4 <= n; i += 4) {
    __m256i s = _mm256_add_epi64(
        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(groups + i)),
        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(high + i + 1)));
    through = _mm256_or_si256(through, _mm256_cmpeq_epi64(s, below));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(sum + i), s);
  }
  bool serial = !_mm256_testz_si256(through, through);
  for (; i < n; ++i) {
    sum[i] = groups[i] + high[i + 1];
    serial |= sum[i] == kPow8 - 1;
  }
  sum[n] = 0;
  if (serial) {
    uint64_t c = 0;
    for (i = n; i-- > 0;) {
      uint64_t t = sum[i] + c;
      c = t >= kPow8;
      groups[i] = t - (c ? kPow8 : 0);
    }
    return high[0] + c;
  }
  for (i = 0; i + 4 <= n; i += 4) {
    __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sum + i));
    __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sum + i + 1));
    s = _mm256_sub_epi64(s, _mm256_cmpgt_epi64(next, below));  // plus the carry from below
    s = _mm256_sub_epi64(s, _mm256_and_si256(_mm256_cmpgt_epi64(s, below), base));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(groups + i), s);
  }
  for (; i < n; ++i) {
    uint64_t t = sum[i] + (sum[i + 1] >= kPow8);
    groups[i] = t - (t >= kPow8 ? kPow8 : 0);
  }
  return high[0] + (sum[0] + (sum[1] >= kPow8) >= kPow8);
}

bool have_avx2() {
  static const bool yes = __builtin_cpu_supports("avx2");
  return yes;
}

}  // namespace decimal_chunks
