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
  int64_t m = 0;
  size_t start = i;
  for (; s[i] != '\0'; ++i) {
    unsigned char d = static_cast<unsigned char>(s[i]);
    if (d < '0' || d > '9' || i >= 18) return false;
    m = m * 10 + (d - '0');
  }
  if (i == start) return false;
  *out = negative ? -m : m;
  return true;
}

// The number leaf of any 64-bit value, the most negative one included.
inline Term small_integer_leaf(int64_t value) {
  char buffer[24];
  char* end = buffer + sizeof buffer;
  char* p = end;
  uint64_t magnitude = value < 0 ? 0 - uint64_t(value) : uint64_t(value);
  do {
    *--p = char('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) *--p = '0';  // the sign zero
  return make_leaf(std::string_view(p, size_t(end - p)));
}
