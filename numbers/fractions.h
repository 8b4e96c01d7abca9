// Binary fractions: exact signed numbers with finitely many binary digits either side of the
// point.
//
// Numeral form: "00", then k >= 0 characters '0', then an optional decimal numeral D without
// leading zero ("00", "000", "004", "00017"). It stands for the tagged bit string
// T = 2^(k+1) (2D + 1) (D = 0 when absent), bit 0 clear.
//
// Value form U = T div 2 interleaves the digits:
//   bit 0        sign: 1 zero or positive, 0 negative
//   bit 2j + 1   the digit of weight 2^j   (j >= 0: units, twos, fours, ...)
//   bit 2j       the digit of weight 2^-j  (j >= 1: halves, quarters, ...)
// "00" is U = 1 (zero), "000" is U = 2 (minus one), "004" is U = 9 (plus two). Every value the
// system makes is non-zero as a bit string; zero is always U = 1 (no minus zero), and values
// are trimmed, so equal numbers have equal value strings and equal numerals.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "terms/term.h"

// The value form of a binary-fraction term (numeral leaf or bit list): its bit string halved.
std::string fraction_bits(const Term& fraction);
std::string numeral_fraction_bits(std::string_view numeral);
// Leaf of a value (asserts a non-zero string, 5975).
Term value_to_fraction(std::string_view value);
std::string value_to_fraction_numeral(std::string_view value);

bool fraction_digit(int64_t weight, std::string_view value);  // digit of weight 2^weight
bool fraction_sign(std::string_view value);                   // bit 0: true = non-negative
// Weight of the highest set digit (asserts some digit is set, 5844).
int64_t fraction_exponent(std::string_view value);
// Digit bit index of the weight 2^weight.
uint64_t fraction_digit_index(int64_t weight);

// Sign test of a fraction term, as `buck` and `fraction_less` read it.
bool fraction_is_non_negative(const Term& fraction);
bool fraction_less(const Term& x, const Term& y);
bool fraction_value_less(std::string_view u, std::string_view v);
// Equality of normalised numerals.
bool fraction_equal(const Term& x, const Term& y);
bool is_zero_fraction_value(std::string_view value);

// Exact arithmetic on value forms; results are normalised values.
std::string add_fraction_values(std::string_view u, std::string_view v);
std::string subtract_fraction_values(std::string_view u, std::string_view v);
std::string multiply_fraction_values(std::string_view u, std::string_view v);
// Remainder as for integers: |u| mod |v|, then |v| - r when the signs differ and r is not zero;
// never negative. v must not be zero.
std::string remainder_fraction_values(std::string_view u, std::string_view v);
std::string negate_fraction_value(std::string_view value);  // flips the sign; zero stays zero
// u^n for n >= 0 by square and multiply (u^0 is one).
std::string power_fraction_value(std::string_view u, uint64_t n);
// True when u^n could never be held in memory, so that it is refused before any squaring; u is
// not zero and not a power of two.
bool fraction_power_too_large(std::string_view u, uint64_t n);
// Exactly 2^m, positive; empty when |m| exceeds kMaxPowerOfTwo. At the bound the value has
// 2^29 bits and its numeral about 160 million digits, which the conversion on decimal limbs
// makes in about ten seconds and two gigabytes; beyond it time and memory grow past use.
constexpr int64_t kMaxPowerOfTwo = int64_t(1) << 28;
std::string power_of_two_value(int64_t m);
// The value of an integer numeral ("0" gives zero).
std::string integer_numeral_to_fraction_value(std::string_view numeral);

// Term level. The sum and the difference append the trace line "jjaa" + sign of the first
// operand + sign of the second operand of the sum ("1" non-negative, "0" negative) to
// "/tmp/both.bug"; a difference adds the negated second operand.
Term fraction_sum(const Term& x, const Term& y);
Term fraction_difference(const Term& x, const Term& y);
Term fraction_product(const Term& x, const Term& y);
Term fraction_remainder(const Term& x, const Term& y);  // y must not be zero
Term fraction_negation(const Term& x);
// Binary fraction of equal value to an integer term (numeral leaf, `K`, or bit list).
Term integer_to_fraction(const Term& integer);
// "004" (two) raised to m: the single digit of weight 2^m; an empty handle beyond
// kMaxPowerOfTwo.
Term power_of_two(int64_t m);
