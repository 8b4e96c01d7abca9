// Decimal limbs: the fast working form of long integer arithmetic.
//
// A magnitude is held as little-endian 64-bit words of 18 decimal digits each (base 10^18):
// limb 0 holds the 18 lowest digits. A number in normal form has no high zero limb, so zero is
// the empty vector. Because the base is a power of ten, conversion to and from a numeral's
// text is linear: every limb is 18 characters of the text.
//
// Products of two limbs are taken in 128 bits; splitting a 128-bit value into base-10^18 digits
// uses a precomputed reciprocal instead of a division instruction.
//
// Products go schoolbook below kKaratsubaLimbs, Karatsuba above, Toom-3 from kToomLimbs
// (limb_kernels.h), and a number-theoretic transform over three primes (results joined by the
// Chinese remainder theorem) from kTransformLimbs. Division uses schoolbook long division (Knuth's algorithm D) below
// kNewtonLimbs and a Newton reciprocal above. The digit-string algorithms (digits.h) stay as
// the reference the tests compare these with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using Limbs = std::vector<uint64_t>;

constexpr uint64_t kLimbBase = 1000000000000000000ull;  // 10^18
constexpr size_t kLimbDigits = 18;

// Measured thresholds (limbs of the shorter operand, or of the divisor).
constexpr size_t kKaratsubaLimbs = 48;
constexpr size_t kTransformLimbs = 1000;
constexpr size_t kNewtonLimbs = 120;

void trim_limbs(Limbs& a);

// Conversions with text written most significant digit first. The text must be plain digits
// (no sign); leading zeros are allowed and dropped.
Limbs text_to_limbs(std::string_view digits);
// Appends the digits of a, without leading zeros; zero appends "0".
void append_limbs_text(std::string& out, const Limbs& a);
// The number of decimal digits of a (0 for zero).
size_t limbs_digit_count(const Limbs& a);
// Writes exactly limbs_digit_count(a) digits at out (nothing for zero).
void write_limbs_text(char* out, const Limbs& a);

int compare_limbs(const Limbs& a, const Limbs& b);  // -1, 0, 1
Limbs add_limbs(const Limbs& a, const Limbs& b);
Limbs subtract_limbs(const Limbs& a, const Limbs& b);  // requires a >= b (assertion 2505)
// a * k and a div k, a mod k for one machine word k (k < 10^18; k > 0 for division).
Limbs multiply_limb(const Limbs& a, uint64_t k);
uint64_t divide_limb_in_place(Limbs& a, uint64_t k);  // returns the remainder

Limbs multiply_limbs(const Limbs& a, const Limbs& b);
// a^e for a machine exponent; a^0 is one.
Limbs power_limbs(const Limbs& a, uint64_t e);
// Floor quotient of a by a non-zero b; the remainder goes to *remainder when it is given.
Limbs divide_limbs(const Limbs& a, const Limbs& b, Limbs* remainder);

// a * 10^(18 n): n zero limbs below a (zero stays zero).
Limbs shift_limbs_up(const Limbs& a, size_t n);
