// Numerals: the text of a number leaf.
//
//   "0"                         zero
//   "1".."9" then digits        a positive integer, no leading zero
//   "0", "1".."9", then digits  a negative integer: the leading '0' is the minus sign ("05" = -5)
//   "00" then anything          not an integer: an exact binary fraction (see fractions.h)
//
// There is no minus zero and no '-' or '+' character. The integer test looks only at the first
// two characters; later digits are trusted.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "terms/term.h"

bool is_integer_numeral(std::string_view text);
// True for "0" and any numeral not starting with '0' (asserts the integer test, 2847).
bool is_non_negative(std::string_view numeral);
// True when the numeral starts with its sign zero (asserts non-empty 2808, not "0" 2809).
bool is_negative_numeral(std::string_view numeral);
// Signed numeral from a flag and an unsigned numeral (asserts non-empty 2785, no leading zero
// 2787); "0" stays "0" whatever the flag.
std::string with_sign(bool non_negative, std::string_view magnitude);
std::string negate_numeral(std::string_view numeral);
std::string add_numerals(std::string_view x, std::string_view y);
// x - y, as negate then add.
std::string subtract_numerals(std::string_view x, std::string_view y);
// Rounded toward zero.
std::string halve_numeral(std::string_view numeral);
// Number leaf of an integer numeral (asserts the integer test, 2847).
Term numeral_leaf(std::string_view numeral);
// Number leaf of a machine integer, the most negative one included.
Term int64_to_numeral(int64_t value);
std::string int64_to_numeral_text(int64_t value);
