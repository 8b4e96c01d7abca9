// Binary fractions: the value layout, ordering and term-level conversions.
#include "numbers/fractions.h"

#include "numbers/bit_lists.h"
#include "numbers/bits.h"
#include "diagnostics/diagnostics.h"

uint64_t fraction_digit_index(int64_t weight) {
  // Odd indices hold the integer digits, even ones (from 2) the fractional digits.
  return weight >= 0 ? 2 * uint64_t(weight) + 1 : 2 * (0 - uint64_t(weight));
}

bool fraction_digit(int64_t weight, std::string_view value) {
  return bit_at(value, fraction_digit_index(weight));
}

bool fraction_sign(std::string_view value) { return bit_at(value, 0); }

bool is_zero_fraction_value(std::string_view value) {
  if (value.empty()) return true;
  if ((static_cast<unsigned char>(value[0]) & 0xFE) != 0) return false;
  return is_zero_bits(value.substr(1));
}

int64_t fraction_exponent(std::string_view value) {
  core_assert(!is_zero_fraction_value(value), 5844);
  uint64_t n = bit_count(value);
  // Value order: integer digits from the top down, then fractional digits from the halves.
  // n is a multiple of 8, so n - 1 is the highest odd index.
  for (uint64_t i = n - 1;; i -= 2) {
    if (bit_at(value, i)) {
      core_assert(i != 0, 5736);
      return int64_t((i - 1) / 2);
    }
    if (i == 1) break;
  }
  for (uint64_t i = 2; i < n; i += 2)
    if (bit_at(value, i)) return -int64_t(i / 2);
  fatal("rakerank");
}

std::string numeral_fraction_bits(std::string_view numeral) {
  return shift_bits_down(numeral_to_bits(numeral), 1);
}

std::string fraction_bits(const Term& fraction) {
  return shift_bits_down(term_bits(fraction), 1);
}

std::string value_to_fraction_numeral(std::string_view value) {
  core_assert(is_nonzero_bits(value), 5975);
  return bits_to_numeral(shift_bits(value, 1));
}

Term value_to_fraction(std::string_view value) {
  return make_leaf(value_to_fraction_numeral(value));
}

bool fraction_value_less(std::string_view u, std::string_view v) {
  bool su = fraction_sign(u);
  bool sv = fraction_sign(v);
  if (su != sv) return sv;
  uint64_t n = 8 * uint64_t(std::max(u.size(), v.size()));
  if (n == 0) return false;
  for (uint64_t i = n - 1;; i -= 2) {
    if (bit_at(u, i) != bit_at(v, i)) return bit_at(u, i) == !su;
    if (i == 1) break;
  }
  for (uint64_t i = 2; i < n; i += 2)
    if (bit_at(u, i) != bit_at(v, i)) return bit_at(u, i) == !su;
  return false;
}

bool fraction_is_non_negative(const Term& fraction) {
  return fraction_sign(fraction_bits(fraction));
}

bool fraction_less(const Term& x, const Term& y) {
  return fraction_value_less(fraction_bits(x), fraction_bits(y));
}

bool fraction_equal(const Term& x, const Term& y) {
  return trim_bits(fraction_bits(x)) == trim_bits(fraction_bits(y));
}
