// Reals: IEEE 754 doubles carried in a leaf.
//
// A real leaf is one space (0x20) followed by the 8 bytes of the double in native
// (little-endian) order; its text is always 9 bytes. Every bit pattern is allowed: minus zero,
// infinities and NaNs. Conversions with binary fractions are exact towards the fraction and
// truncate towards the double.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "terms/term.h"

Term make_real(double value);
double real_value(const Term& real);        // asserts a real leaf (9230)
uint64_t real_pattern(const Term& real);    // the 64-bit pattern; asserts 9230

// Binary fraction term (numeral or bit list) -> real leaf. Digits below the double's precision
// are dropped; weights of 2^1024 and above, or whose top digit is below 2^-1074, give the NaN
// 0x7FF9000000000000.
Term fraction_to_real(const Term& fraction);
double fraction_value_to_double(std::string_view value);   // same on the value form
// Real leaf -> binary fraction of exactly its value; zeros, infinities and NaNs give "00".
Term real_to_fraction(const Term& real);
std::string double_to_fraction_value(double value);        // value form; zero gives 0x01
// Integer term (numeral leaf, the leaf `K`, or bit list) -> real, read with strtod.
Term integer_to_real(const Term& integer);
double numeral_to_double(std::string_view numeral);
