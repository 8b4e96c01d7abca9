// Reals and their exact conversions with binary fractions.
#include "numbers/reals.h"

#include <cstdlib>
#include <cstring>

#include "numbers/bit_lists.h"
#include "numbers/bits.h"
#include "diagnostics/diagnostics.h"
#include "numbers/fractions.h"
#include "numbers/numerals.h"

namespace {

constexpr uint64_t kOutOfRangeNaN = 0x7FF9000000000000ull;
constexpr uint64_t kSignBit = 0x8000000000000000ull;

double from_pattern(uint64_t pattern) {
  double d;
  std::memcpy(&d, &pattern, sizeof d);
  return d;
}

uint64_t to_pattern(double d) {
  uint64_t pattern;
  std::memcpy(&pattern, &d, sizeof pattern);
  return pattern;
}

// Writes the 11-bit exponent field one bit at a time.
uint64_t with_exponent_field(uint64_t pattern, int64_t field) {
  core_assert(field >= 0, 6075);
  core_assert(field <= 2047, 6076);
  for (int i = 0; i < 11; ++i)
    if ((field >> i) & 1) pattern |= uint64_t(1) << (52 + i);
  return pattern;
}

bool mantissa_bit(uint64_t pattern, int index) {
  core_assert(index >= 0, 6013);
  core_assert(index <= 51, 6014);
  return (pattern >> index) & 1;
}

}  // namespace

Term make_real(double value) {
  char text[9];
  text[0] = ' ';
  std::memcpy(text + 1, &value, 8);
  return make_leaf(std::string_view(text, 9));
}

uint64_t real_pattern(const Term& real) {
  core_assert(first_char(real) == ' ', 9230);
  uint64_t pattern;
  std::memcpy(&pattern, leaf_chars(real.get()) + 1, 8);
  return pattern;
}

double real_value(const Term& real) { return from_pattern(real_pattern(real)); }

double fraction_value_to_double(std::string_view value) {
  if (is_zero_fraction_value(value)) return 0.0;
  uint64_t pattern = fraction_sign(value) ? 0 : kSignBit;
  int64_t e = fraction_exponent(value);
  if (e >= 1024 || e < -1074) return from_pattern(kOutOfRangeNaN);
  if (e >= -1022) {
    pattern = with_exponent_field(pattern, e + 1023);
    for (int n = 51; n >= 0; --n)
      if (fraction_digit(e + n - 52, value)) pattern |= uint64_t(1) << n;
  } else {
    // Subnormal: the digit of weight 2^w goes to mantissa bit w + 1074.
    pattern = with_exponent_field(pattern, 0);
    for (int64_t w = e; w >= -1074; --w)
      if (fraction_digit(w, value)) pattern |= uint64_t(1) << (w + 1074);
  }
  return from_pattern(pattern);
}

Term fraction_to_real(const Term& fraction) {
  return make_real(fraction_value_to_double(fraction_bits(fraction)));
}

std::string double_to_fraction_value(double value) {
  uint64_t b = to_pattern(value);
  int64_t field = int64_t((b >> 52) & 0x7FF);
  // Zeros, infinities and NaNs all become the fraction zero.
  if ((b & ~kSignBit) == 0 || field == 2047) return std::string(1, '\x01');
  std::string u;
  if (!(b & kSignBit)) set_bit(u, 0, true);
  int top;        // mantissa bit of the leading digit (52 for the implicit one)
  int64_t n;      // its weight
  int64_t shift;  // weight of mantissa bit m is m + shift
  if (field != 0) {
    top = 52;
    n = field - 1023;
    shift = n - 52;
  } else {
    top = 51;
    while (top >= 0 && !((b >> top) & 1)) --top;
    if (top < 0) fatal("why?");
    n = top - 1074;
    shift = -1074;
  }
  set_bit(u, fraction_digit_index(n), true);
  for (int m = top - 1; m >= 0; --m)
    if (mantissa_bit(b, m)) set_bit(u, fraction_digit_index(m + shift), true);
  return trim_bits(std::move(u));
}

Term real_to_fraction(const Term& real) {
  return value_to_fraction(double_to_fraction_value(real_value(real)));
}

double numeral_to_double(std::string_view numeral) {
  std::string text(numeral);
  if (text.size() > 1 && text[0] == '0') text[0] = '-';
  return std::strtod(text.c_str(), nullptr);
}

Term integer_to_real(const Term& integer) {
  unsigned char first = first_char(integer);
  if (first >= '0' && first <= '9') return make_real(numeral_to_double(leaf_text(integer)));
  return make_real(numeral_to_double(integer_bits_to_numeral(term_bits(integer))));
}
