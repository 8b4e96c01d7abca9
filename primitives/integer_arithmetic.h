// Integer arithmetic on signed numerals, as the operators `*`, `/`, `%` and `^` define it.
//
// A numeral is decimal text, most significant digit first; a leading "0" before a non-zero
// digit is the minus sign ("05" is minus five) and zero is "0". Results are numerals in normal
// form: no leading zeros and no minus zero. The divisor of quotient and remainder must not be
// zero (the primitives answer Z before calling).
#pragma once

#include <string>
#include <string_view>

#include "terms/term.h"

// Product, on decimal limbs (limbs.h).
std::string multiply_numerals(std::string_view x, std::string_view y);
// Quotient rounded toward minus infinity: 7/2 = 3, -7/2 = -4, 7/-2 = -4, -7/-2 = 3.
std::string floor_divide_numerals(std::string_view x, std::string_view y);
// Remainder that is never negative: |x - y * (x floor/ y)|; 5 % -4 = 3, -7 % 2 = 1.
std::string remainder_numerals(std::string_view x, std::string_view y);
// x to the power y; a negative exponent gives "0" and a zero exponent "1" (also 0^0). Empty
// when the numeral of the result would not fit in the machine's memory.
std::string power_numerals(std::string_view x, std::string_view y);

// The same four as number leaves, the digits written straight into the leaf. power_leaf is
// empty when power_numerals would be.
Term product_leaf(std::string_view x, std::string_view y);
Term floor_quotient_leaf(std::string_view x, std::string_view y);
Term remainder_leaf(std::string_view x, std::string_view y);
Term power_leaf(std::string_view x, std::string_view y);

// Order of two magnitudes (digits without sign), leading zeros ignored: -1, 0 or 1.
int compare_magnitudes(std::string_view a, std::string_view b);
