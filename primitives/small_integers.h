// Numerals that fit a machine word, read and written without the digit-string kernels.
//
// A number leaf of at most 18 characters that is all digits and passes the integer test ("0",
// "1".."9" then digits, or the sign zero before such a magnitude) is read exactly; its value
// and that of any sum or difference of two such values lie well inside 64 bits. The text
// written back is the numeral in normal form, byte for byte what the general kernels give.
#pragma once

#include <cstdint>
#include <string_view>

#include "terms/term.h"

// True and the value in *out when n is such a leaf.
inline bool read_small_integer(const Node* n, int64_t* out) {
  if (!node_is_leaf(n)) return false;
  const char* s = leaf_chars(n);
  unsigned char c = static_cast<unsigned char>(s[0]);
  if (c < '0' || c > '9') return false;
  bool negative = false;
  size_t i = 0;
  if (c == '0') {
    if (s[1] == '\0') {
      *out = 0;
      return true;
    }
    if (s[1] == '0') return false;  // a binary fraction
    negative = true;
    i = 1;
  }
  // The length a number leaf keeps in its header bounds the scan: at most 18 characters. A
  // text changed in place without it ends elsewhere, and takes the general path.
  size_t length = size_t(node_extent(n));
  if (length <= i || length > 18 || s[length] != '\0') return false;
  const char* p = s + i;
  const char* end = s + length;
  int64_t m = 0;
  if ((end - p) & 1) {  // an odd count: one digit first, then pairs
    unsigned d = static_cast<unsigned char>(*p++) - unsigned('0');
    if (d > 9) return false;
    m = int64_t(d);
  }
  for (; p < end; p += 2) {
    unsigned d = static_cast<unsigned char>(p[0]) - unsigned('0');
    unsigned e = static_cast<unsigned char>(p[1]) - unsigned('0');
    if (d > 9 || e > 9) return false;
    m = m * 100 + int64_t(d * 10 + e);
  }
  *out = negative ? -m : m;
  return true;
}

// The number leaf of any 64-bit value, the most negative one included.
inline Term small_integer_leaf(int64_t value) {
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  uint64_t magnitude = value < 0 ? 0 - uint64_t(value) : uint64_t(value);
  static constexpr uint64_t kPowers[20] = {1,
                                           10,
                                           100,
                                           1000,
                                           10000,
                                           100000,
                                           1000000,
                                           10000000,
                                           100000000,
                                           1000000000,
                                           10000000000,
                                           100000000000,
                                           1000000000000,
                                           10000000000000,
                                           100000000000000,
                                           1000000000000000,
                                           10000000000000000,
                                           100000000000000000,
                                           1000000000000000000,
                                           10000000000000000000u};
  // floor(bits * log10(2)) is the digit count or one less.
  unsigned bits = 64 - unsigned(__builtin_clzll(magnitude | 1));
  size_t digits = (bits * 1233) >> 12;
  digits += magnitude >= kPowers[digits];
  if (digits == 0) digits = 1;
  size_t sign = value < 0 ? 1 : 0;  // the sign zero
  Term t = allocate_short_leaf('0', sign + digits);
  char* p = leaf_chars(t.get()) + sign + digits;
  while (magnitude >= 100) {
    const char* two = kPairs + 2 * (magnitude % 100);
    magnitude /= 100;
    *--p = two[1];
    *--p = two[0];
  }
  if (magnitude >= 10) {
    *--p = kPairs[2 * magnitude + 1];
    *--p = kPairs[2 * magnitude];
  } else {
    *--p = char('0' + magnitude);
  }
  return t;
}
