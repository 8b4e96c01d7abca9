// Exact arithmetic on binary fractions.
//
// A value is taken apart into sign, a plain binary magnitude and a power-of-two scale
// (value = +-magnitude * 2^scale), computed on with the plain bit-string helpers, and
// interleaved back. Rebuilding always gives the trimmed value with zero as 0x01, so equal
// numbers come out as equal strings.
#include <algorithm>
#include <string>

#include "numbers/bit_lists.h"
#include "numbers/bits.h"
#include "diagnostics/diagnostics.h"
#include "diagnostics/memory_budget.h"
#include "numbers/fractions.h"

namespace {

constexpr const char* kTracePath = "/tmp/both.bug";

struct Scaled {
  bool negative = false;
  std::string magnitude;  // plain little-endian binary, trimmed
  int64_t scale = 0;
};

Scaled take_apart(std::string_view value) {
  Scaled s;
  s.negative = !fraction_sign(value);
  int64_t top = top_bit(value);
  // The lowest weight present fixes the scale: the highest set even index.
  int64_t lowest = 0;
  for (int64_t i = 2; i <= top; i += 2)
    if (bit_at(value, uint64_t(i))) lowest = -(i / 2);
  s.scale = lowest;
  for (int64_t i = 1; i <= top; ++i) {
    if (!bit_at(value, uint64_t(i))) continue;
    int64_t weight = (i % 2) ? (i - 1) / 2 : -(i / 2);
    set_bit(s.magnitude, uint64_t(weight - lowest), true);
  }
  s.magnitude = trim_bits(std::move(s.magnitude));
  return s;
}

std::string put_together(const Scaled& s) {
  if (s.magnitude.empty()) return std::string(1, '\x01');
  int64_t top = top_bit(s.magnitude);
  uint64_t highest = std::max(fraction_digit_index(s.scale), fraction_digit_index(top + s.scale));
  std::string value = zero_bits(highest + 1);
  for (int64_t i = 0; i <= top; ++i)
    if (bit_at(s.magnitude, uint64_t(i))) set_bit(value, fraction_digit_index(i + s.scale), true);
  set_bit(value, 0, !s.negative);
  return trim_bits(std::move(value));
}

// Both magnitudes brought to the smaller scale.
void align(Scaled& a, Scaled& b) {
  int64_t scale = std::min(a.scale, b.scale);
  a.magnitude = shift_bits(a.magnitude, uint64_t(a.scale - scale));
  b.magnitude = shift_bits(b.magnitude, uint64_t(b.scale - scale));
  a.scale = b.scale = scale;
}

Scaled add_scaled(Scaled a, Scaled b) {
  align(a, b);
  Scaled sum;
  sum.scale = a.scale;
  if (a.negative == b.negative) {
    sum.negative = a.negative;
    sum.magnitude = add_bits(a.magnitude, b.magnitude);
  } else if (compare_bits(a.magnitude, b.magnitude) >= 0) {
    sum.negative = a.negative;
    sum.magnitude = subtract_bits(a.magnitude, b.magnitude);
  } else {
    sum.negative = b.negative;
    sum.magnitude = subtract_bits(b.magnitude, a.magnitude);
  }
  return sum;
}

Scaled multiply_scaled(const Scaled& a, const Scaled& b) {
  return Scaled{a.negative != b.negative, multiply_bits(a.magnitude, b.magnitude),
                a.scale + b.scale};
}

void trace_sum(std::string_view u, std::string_view v) {
  std::string line = "jjaa";
  line += fraction_sign(u) ? '1' : '0';
  line += fraction_sign(v) ? '1' : '0';
  line += '\n';
  append_to_file(kTracePath, line);
}

}  // namespace

std::string add_fraction_values(std::string_view u, std::string_view v) {
  return put_together(add_scaled(take_apart(u), take_apart(v)));
}

std::string negate_fraction_value(std::string_view value) {
  std::string negated = trim_bits(std::string(value));
  if (is_zero_fraction_value(negated)) return std::string(1, '\x01');
  set_bit(negated, 0, !fraction_sign(negated));
  return negated;
}

std::string subtract_fraction_values(std::string_view u, std::string_view v) {
  return add_fraction_values(u, negate_fraction_value(v));
}

std::string multiply_fraction_values(std::string_view u, std::string_view v) {
  return put_together(multiply_scaled(take_apart(u), take_apart(v)));
}

std::string remainder_fraction_values(std::string_view u, std::string_view v) {
  Scaled a = take_apart(u);
  Scaled b = take_apart(v);
  align(a, b);
  Scaled r{false, remainder_bits(a.magnitude, b.magnitude), a.scale};
  bool same_sign = a.magnitude.empty() || a.negative == b.negative;
  if (!same_sign && !r.magnitude.empty()) r.magnitude = subtract_bits(b.magnitude, r.magnitude);
  return put_together(r);
}

std::string power_fraction_value(std::string_view u, uint64_t n) {
  Scaled result{false, std::string(1, '\x01'), 0};
  Scaled square = take_apart(u);
  while (n != 0) {
    if (n & 1) result = multiply_scaled(result, square);
    n >>= 1;
    if (n != 0) square = multiply_scaled(square, square);
  }
  return put_together(result);
}

// A magnitude of L bits raised to n has at least n (L - 1) + 1 bits, and the fraction's form
// spends two bits for each.
bool fraction_power_too_large(std::string_view u, uint64_t n) {
  uint64_t bits = bit_length(take_apart(u).magnitude);
  return bits > 1 && double(n) * double(bits - 1) / 4 > double(memory_limit());
}

std::string power_of_two_value(int64_t m) {
  if (m > kMaxPowerOfTwo || m < -kMaxPowerOfTwo) return "";
  std::string value;
  set_bit(value, fraction_digit_index(m), true);
  set_bit(value, 0, true);
  return value;
}

std::string integer_numeral_to_fraction_value(std::string_view numeral) {
  std::string bits = numeral_to_bits(numeral);
  Scaled s{!bit_at(bits, 1), shift_bits_down(bits, 2), 0};
  if (s.magnitude.empty()) s.negative = false;
  return put_together(s);
}

Term fraction_sum(const Term& x, const Term& y) {
  std::string u = fraction_bits(x);
  std::string v = fraction_bits(y);
  trace_sum(u, v);
  return value_to_fraction(add_fraction_values(u, v));
}

Term fraction_difference(const Term& x, const Term& y) {
  std::string u = fraction_bits(x);
  std::string v = negate_fraction_value(fraction_bits(y));
  trace_sum(u, v);
  return value_to_fraction(add_fraction_values(u, v));
}

Term fraction_product(const Term& x, const Term& y) {
  return value_to_fraction(multiply_fraction_values(fraction_bits(x), fraction_bits(y)));
}

Term fraction_remainder(const Term& x, const Term& y) {
  return value_to_fraction(remainder_fraction_values(fraction_bits(x), fraction_bits(y)));
}

Term fraction_negation(const Term& x) {
  return value_to_fraction(negate_fraction_value(fraction_bits(x)));
}

Term integer_to_fraction(const Term& integer) {
  std::string bits = term_bits(integer);
  Scaled s{!bit_at(bits, 1), shift_bits_down(bits, 2), 0};
  if (s.magnitude.empty()) s.negative = false;
  return value_to_fraction(put_together(s));
}

Term power_of_two(int64_t m) {
  std::string value = power_of_two_value(m);
  if (value.empty()) return Term();
  return value_to_fraction(value);
}
