// Runs of ASCII decimal digits as one machine value and back, without a loop over the digits.
//
// Eight digits work on the bytes as lanes of one 64-bit word (SWAR): neighbouring lanes are
// joined (or split) in pairs, then fours, then the whole eight. Sixteen use SSE2 lanes, which
// every x86-64 has, and fall back to two runs of eight elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace decimal_chunks {

constexpr uint64_t kPow8 = 100000000;
constexpr uint64_t kPow16 = 10000000000000000ull;

// Value of eight ASCII digits, most significant first.
inline uint64_t parse8(const char* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  v -= 0x3030303030303030ull;
  v = v * 10 + (v >> 8);  // pairs in the even bytes
  v = (((v & 0x000000FF000000FFull) * (100 + (1000000ull << 32))) +
       (((v >> 16) & 0x000000FF000000FFull) * (1 + (10000ull << 32)))) >>
      32;
  return uint32_t(v);
}

// Eight ASCII digits of v < 10^8, leading zeros included: two lanes of four digits, then four
// of two, then eight of one.
inline void write8(char* p, uint64_t v) {
  uint64_t x = (v / 10000) | ((v % 10000) << 32);
  uint64_t hundreds = ((x * 5243) >> 19) & 0x000000FF000000FFull;
  x = hundreds | ((x - hundreds * 100) << 16);
  uint64_t tens = ((x * 103) >> 10) & 0x000F000F000F000Full;
  x = tens | ((x - tens * 10) << 8);
  x += 0x3030303030303030ull;
  std::memcpy(p, &x, 8);
}

// Value of n <= 19 ASCII digits, one at a time (the short ends of a text).
inline uint64_t parse_short(const char* p, size_t n) {
  uint64_t v = 0;
  for (size_t i = 0; i < n; ++i) v = v * 10 + uint64_t(p[i] - '0');
  return v;
}

#ifdef __SSE2__
// Value of sixteen ASCII digits: neighbouring lanes are joined by multiply-add, doubling the
// digits per lane at each step (2, 4, then 8 digits per lane).
inline uint64_t parse16(const char* p) {
  const __m128i zero = _mm_setzero_si128();
  __m128i v = _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)),
                           _mm_set1_epi8('0'));
  const __m128i tens = _mm_setr_epi16(10, 1, 10, 1, 10, 1, 10, 1);
  __m128i pairs = _mm_packs_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(v, zero), tens),
                                  _mm_madd_epi16(_mm_unpackhi_epi8(v, zero), tens));
  __m128i quads = _mm_madd_epi16(pairs, _mm_setr_epi16(100, 1, 100, 1, 100, 1, 100, 1));
  quads = _mm_packs_epi32(quads, quads);
  __m128i eights = _mm_madd_epi16(quads, _mm_setr_epi16(10000, 1, 10000, 1, 0, 0, 0, 0));
  uint64_t both = uint64_t(_mm_cvtsi128_si64(eights));
  return (both & 0xFFFFFFFFu) * kPow8 + (both >> 32);
}
#else
inline uint64_t parse16(const char* p) { return parse8(p) * kPow8 + parse8(p + 8); }
#endif

inline uint64_t parse18(const char* p) {
  return parse16(p) * 100 + uint64_t(p[16] - '0') * 10 + uint64_t(p[17] - '0');
}

#ifdef __SSE2__
// The eight decimal digits of v < 10^8 as eight 16-bit lanes, most significant first: v is
// split into halves of four digits, each copied to four lanes, and the lanes divided by 1000,
// 100, 10 and 1 with multiply-high by scaled reciprocals; subtracting ten times the
// neighbouring lane leaves one digit per lane.
inline __m128i digit_lanes(uint32_t v) {
  const __m128i value = _mm_cvtsi32_si128(int(v));
  const __m128i high = _mm_srli_epi64(_mm_mul_epu32(value, _mm_set1_epi32(int(0xd1b71759))), 45);
  const __m128i low = _mm_sub_epi32(value, _mm_mul_epu32(high, _mm_set1_epi32(10000)));
  __m128i halves = _mm_slli_epi64(_mm_unpacklo_epi16(high, low), 2);
  halves = _mm_unpacklo_epi16(halves, halves);
  halves = _mm_unpacklo_epi32(halves, halves);
  const __m128i divide = _mm_setr_epi16(8389, 5243, 13108, short(32768), 8389, 5243, 13108,
                                        short(32768));
  const __m128i shift = _mm_setr_epi16(1 << 7, 1 << 11, 1 << 13, short(1 << 15), 1 << 7,
                                       1 << 11, 1 << 13, short(1 << 15));
  const __m128i prefixes = _mm_mulhi_epu16(_mm_mulhi_epu16(halves, divide), shift);
  const __m128i tens = _mm_slli_epi64(_mm_mullo_epi16(prefixes, _mm_set1_epi16(10)), 16);
  return _mm_sub_epi16(prefixes, tens);
}

// Sixteen ASCII digits of v < 10^16, leading zeros included.
inline void write16(char* p, uint64_t v) {
  __m128i digits = _mm_packus_epi16(digit_lanes(uint32_t(v / kPow8)), digit_lanes(uint32_t(v % kPow8)));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_add_epi8(digits, _mm_set1_epi8('0')));
}
#else
inline void write16(char* p, uint64_t v) {
  write8(p, v / kPow8);
  write8(p + 8, v % kPow8);
}
#endif

inline void write18(char* p, uint64_t v) {
  uint64_t top = v / kPow16;
  p[0] = char('0' + top / 10);
  p[1] = char('0' + top % 10);
  write16(p + 2, v % kPow16);
}

// Writes n groups of eight digits (each value below 10^8) one after the other at out.
inline void write_groups_portable(char* out, const uint64_t* groups, size_t n) {
  for (size_t i = 0; i < n; ++i) write8(out + 8 * i, groups[i]);
}
// The same four groups at a time; only on a machine with AVX2 (decimal_groups_avx2.cpp).
void write_groups_avx2(char* out, const uint64_t* groups, size_t n);
// Reads n chunks of sixteen digits, one after the other from text, as values in that order.
inline void read_chunks_portable(const char* text, uint64_t* chunks, size_t n) {
  for (size_t i = 0; i < n; ++i) chunks[i] = parse16(text + 16 * i);
}
// The same two at a time; only with AVX2.
void read_chunks_avx2(const char* text, uint64_t* chunks, size_t n);
// Reads n groups of eight digits, one after the other from text, as values in that order.
inline void read_groups_portable(const char* text, uint64_t* groups, size_t n) {
  for (size_t i = 0; i < n; ++i) groups[i] = parse8(text + 8 * i);
}
// The same four at a time; only with AVX2.
void read_groups_avx2(const char* text, uint64_t* groups, size_t n);

// groups[0..n) (a number's groups, most significant first) times k < 10^8 with carry < 10^8
// added at the units, in place; returns what goes above the top group. n <= kGroupBlock.
constexpr size_t kGroupBlock = 128;
uint64_t multiply_groups_avx2(uint64_t* groups, size_t n, uint64_t k, uint64_t carry);

// True when this machine runs the AVX2 functions; checked once.
bool have_avx2();

}  // namespace decimal_chunks
