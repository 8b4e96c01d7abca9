// Bit strings: plain little-endian arithmetic on bytes.
#include "numbers/bits.h"

#include <algorithm>
#include <bit>
#include <vector>

#include "diagnostics/diagnostics.h"
#include "diagnostics/memory_budget.h"

namespace {

inline unsigned byte_at(std::string_view s, size_t i) {
  return i < s.size() ? static_cast<unsigned char>(s[i]) : 0u;
}

}  // namespace

bool bit_at(std::string_view bits, uint64_t index) {
  return (byte_at(bits, size_t(index / 8)) >> (index % 8)) & 1u;
}

void set_bit(std::string& bits, uint64_t index, bool value) {
  uint64_t byte = index / 8;
  if (byte >= bits.size()) {
    if (!value) return;  // bits past the end are 0 already: nothing to grow for
    require_memory(byte + 1);
    bits.resize(size_t(byte) + 1, '\0');
  }
  unsigned char mask = static_cast<unsigned char>(1u << (index % 8));
  if (value)
    bits[byte] = char(static_cast<unsigned char>(bits[byte]) | mask);
  else
    bits[byte] = char(static_cast<unsigned char>(bits[byte]) & ~mask);
}

uint64_t bit_count(std::string_view bits) { return uint64_t(bits.size()) * 8; }

int64_t top_bit(std::string_view bits) {
  for (size_t i = bits.size(); i-- > 0;) {
    unsigned b = static_cast<unsigned char>(bits[i]);
    if (b != 0) return int64_t(i) * 8 + int64_t(std::bit_width(b)) - 1;
  }
  return -1;
}

uint64_t bit_length(std::string_view bits) { return uint64_t(top_bit(bits) + 1); }

bool is_zero_bits(std::string_view bits) {
  return std::all_of(bits.begin(), bits.end(), [](char c) { return c == '\0'; });
}

bool is_nonzero_bits(std::string_view bits) { return !is_zero_bits(bits); }

std::string trim_bits(std::string bits) {
  while (!bits.empty() && bits.back() == '\0') bits.pop_back();
  return bits;
}

void assert_normal_bits(std::string_view bits) {
  core_assert(!bits.empty() && bits.back() != '\0', 518);
}

std::string add_bits(std::string_view a, std::string_view b) {
  size_t n = std::max(a.size(), b.size());
  std::string sum(n + 1, '\0');
  unsigned carry = 0;
  for (size_t i = 0; i <= n; ++i) {
    unsigned s = byte_at(a, i) + byte_at(b, i) + carry;
    sum[i] = char(s & 0xFF);
    carry = s >> 8;
  }
  core_assert(carry == 0, 8304);
  return trim_bits(std::move(sum));
}

std::string add_small(std::string_view a, uint64_t k) {
  size_t n = std::max(a.size(), size_t(8));
  std::string sum(n + 1, '\0');
  unsigned carry = 0;
  for (size_t i = 0; i <= n; ++i) {
    unsigned kb = i < 8 ? unsigned((k >> (8 * i)) & 0xFF) : 0u;
    unsigned s = byte_at(a, i) + kb + carry;
    sum[i] = char(s & 0xFF);
    carry = s >> 8;
  }
  core_assert(carry == 0, 8289);
  return trim_bits(std::move(sum));
}

std::string multiply_small(std::string_view a, uint64_t k) {
  std::string product(a.size() + 9, '\0');
  unsigned __int128 carry = 0;
  for (size_t i = 0; i < product.size(); ++i) {
    carry += static_cast<unsigned __int128>(byte_at(a, i)) * k;
    product[i] = char(uint8_t(carry));
    carry >>= 8;
  }
  return trim_bits(std::move(product));
}

namespace {

// Divides in place from the top byte down; returns the remainder.
uint64_t divide_in_place(std::string& a, uint64_t k) {
  unsigned __int128 r = 0;
  for (size_t i = a.size(); i-- > 0;) {
    r = (r << 8) | static_cast<unsigned char>(a[i]);
    a[i] = char(uint8_t(r / k));
    r %= k;
  }
  return uint64_t(r);
}

}  // namespace

std::string divide_small(std::string_view a, uint64_t k) {
  std::string q(a);
  divide_in_place(q, k);
  return trim_bits(std::move(q));
}

unsigned mod_ten(std::string_view a) {
  std::string q(a);
  return unsigned(divide_in_place(q, 10));
}

std::string halve_bits(std::string_view a) { return divide_small(a, 2); }

std::string increment_bits(std::string a) {
  uint64_t i = 0;
  while (bit_at(a, i)) set_bit(a, i++, false);
  set_bit(a, i, true);
  return a;
}

std::string shift_bits(std::string_view a, uint64_t n) {
  size_t bytes = size_t(n / 8);
  unsigned bits = unsigned(n % 8);
  std::string shifted(bytes + a.size() + 1, '\0');
  unsigned carry = 0;
  for (size_t i = 0; i <= a.size(); ++i) {
    unsigned v = (byte_at(a, i) << bits) | carry;
    shifted[bytes + i] = char(v & 0xFF);
    carry = v >> 8;
  }
  return trim_bits(std::move(shifted));
}

std::string shift_bits_down(std::string_view a, uint64_t n) {
  size_t bytes = size_t(n / 8);
  unsigned bits = unsigned(n % 8);
  if (bytes >= a.size()) return "";
  std::string shifted(a.size() - bytes, '\0');
  for (size_t i = 0; i < shifted.size(); ++i) {
    unsigned v = byte_at(a, bytes + i) | (byte_at(a, bytes + i + 1) << 8);
    shifted[i] = char((v >> bits) & 0xFF);
  }
  return trim_bits(std::move(shifted));
}

std::string zero_bits(uint64_t count) { return std::string(size_t((count + 7) / 8), '\0'); }

int compare_bits(std::string_view a, std::string_view b) {
  for (size_t i = std::max(a.size(), b.size()); i-- > 0;) {
    unsigned x = byte_at(a, i);
    unsigned y = byte_at(b, i);
    if (x != y) return x < y ? -1 : 1;
  }
  return 0;
}

std::string subtract_bits(std::string_view a, std::string_view b) {
  core_assert(compare_bits(a, b) >= 0, 2505);
  std::string difference(a.size(), '\0');
  int borrow = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    int d = int(byte_at(a, i)) - int(byte_at(b, i)) - borrow;
    borrow = d < 0 ? 1 : 0;
    difference[i] = char(uint8_t(d + 256 * borrow));
  }
  return trim_bits(std::move(difference));
}

std::string remainder_bits(std::string_view a, std::string_view b) {
  // Long values go through decimal limbs, whose division is fast, and come back.
  if (a.size() > 64 && b.size() > 8) {
    Limbs r;
    divide_limbs(bits_to_limbs(a), bits_to_limbs(b), &r);
    return limbs_to_bits(r);
  }
  // Binary long division from the top bit: r = 2r + bit, subtract b whenever r reaches it.
  std::string divisor = trim_bits(std::string(b));
  std::string r;
  for (int64_t i = top_bit(a); i >= 0; --i) {
    r = shift_bits(r, 1);
    if (bit_at(a, uint64_t(i))) set_bit(r, 0, true);
    if (compare_bits(r, divisor) >= 0) r = subtract_bits(r, divisor);
  }
  return r;
}
