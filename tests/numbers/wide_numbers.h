// Independent reference arithmetic for the number tests: 128-bit integers and their numerals.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>

using Wide = __int128;
using UWide = unsigned __int128;

// Numeral text: a leading '0' is the minus sign.
inline std::string wide_numeral(Wide v) {
  if (v == 0) return "0";
  UWide m = v < 0 ? UWide(0) - UWide(v) : UWide(v);
  std::string s;
  while (m) {
    s.push_back(char('0' + int(m % 10)));
    m /= 10;
  }
  if (v < 0) s.push_back('0');
  std::reverse(s.begin(), s.end());
  return s;
}

// Digit string: least significant digit first.
inline std::string wide_digits(UWide m) {
  std::string s;
  while (m) {
    s.push_back(char('0' + int(m % 10)));
    m /= 10;
  }
  return s;
}

inline UWide digits_wide(const std::string& digits) {
  UWide m = 0;
  for (size_t i = digits.size(); i-- > 0;) m = m * 10 + UWide(digits[i] - '0');
  return m;
}

// A value of a random bit length up to `max_bits`, so that small and large magnitudes mix.
inline UWide random_magnitude(std::mt19937_64& rng, int max_bits) {
  int bits = int(rng() % uint64_t(max_bits + 1));
  UWide v = (UWide(rng()) << 64) | rng();
  if (bits == 0) return 0;
  if (bits < 128) v &= (UWide(1) << bits) - 1;
  return v;
}

inline Wide random_signed(std::mt19937_64& rng, int max_bits) {
  Wide v = Wide(random_magnitude(rng, max_bits));
  return (rng() & 1) ? -v : v;
}

// A random numeral of exactly n digits, sign chosen at random.
inline std::string random_long_numeral(std::mt19937_64& rng, size_t n, bool negative) {
  std::string s = negative ? "0" : "";
  s.push_back(char('1' + rng() % 9));
  for (size_t i = 1; i < n; ++i) s.push_back(char('0' + rng() % 10));
  return s;
}
