// Digit strings: the magnitude form of integer arithmetic.
//
// A digit string holds a non-negative integer as ASCII digits in reverse order: index 0 is the
// units digit. The empty string and any run of '0' characters both mean zero, and high-order
// zeros at the end of the string are allowed and ignored by every operation. Reading past the
// end yields the digit '0', so operands of different lengths combine without padding.
//
// Results may carry high zeros (subtraction keeps the minuend's length, division the
// dividend's); `digits_to_numeral` drops them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

char digit_at(size_t position, std::string_view digits);          // '0' past the end
int digit_value_at(size_t position, std::string_view digits);     // 0 past the end

std::string add_digits(std::string_view a, std::string_view b);
// a - b; a must be at least b (assertion 2505).
std::string subtract_digits(std::string_view a, std::string_view b);
// a * d for one digit d in 0..9 (assertions 2575 below, 2576 above).
std::string multiply_digit(std::string_view a, int d);
// n >= 0: a * 10^n; n < 0: a div 10^-n ("0" when every digit is dropped).
std::string shift_digits(std::string_view a, int64_t n);
std::string multiply_digits(std::string_view a, std::string_view b);
// Long division; b must not be zero (callers test it). round_down clear rounds up.
std::string divide_digits(bool round_down, std::string_view a, std::string_view b);
// a mod b; b must not be zero.
std::string remainder_digits(std::string_view a, std::string_view b);

bool less_digits(std::string_view a, std::string_view b);
bool at_least_digits(std::string_view a, std::string_view b);
bool is_zero_digits(std::string_view a);
bool is_one_digits(std::string_view a);
bool is_even_digits(std::string_view a);

std::string halve_digits(std::string_view a);  // a div 2
// base^exponent by square and multiply; the exponent is a digit string too; x^0 is 1.
std::string power_digits(std::string_view base, std::string_view exponent);

// Magnitude of a numeral (sign zero and leading zeros skipped; "0" gives "").
std::string numeral_to_digits(std::string_view numeral);
// Unsigned numeral of a digit string; zero (all zeros or empty) gives "0".
std::string digits_to_numeral(std::string_view digits);
