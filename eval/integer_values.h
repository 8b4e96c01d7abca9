// Integer readings of terms.
//
// An integer reaches the evaluator as a number leaf holding a decimal numeral ("05" is minus
// five), as the bare leaf `K` (zero), or as a bit list of `J`, `K` and `H` (bit_lists.h). A bit
// list counts as exactly the number its tagged bit string reads as: an integer when its first
// element is `K`, a binary fraction when it is `H`, with that number's sign and magnitude, so it
// always gives the same results as the equal numeral.
#pragma once

#include <cstdint>
#include <string>

#include "terms/term.h"

// Numeral leaves not starting with "00", leaves starting with `K`, and integer bit lists.
bool is_integer_value(const Term& t);
// True for zero or positive. Binary fractions report their own sign.
bool integer_sign(const Term& t);
// Absolute value as a number term (asserts 4734 for a pair whose left child is a leaf, 4735
// when that child is not headed by `J`, 4738 for a list that does not read as a number).
Term integer_magnitude(const Term& t);
// Tagged bit string of a number term: a leaf starting with `K` or a digit, or a pair
// ((J b) x) with b `H` or `K` (assertion 5025 otherwise). Empty for a malformed list tail.
std::string read_bits(const Term& t);
// Sign applied to the low 64 bits of the magnitude (two's complement).
int64_t to_int64(const Term& t);

// Helpers for the primitives.
// Signed numeral of an integer value: a numeral leaf as it stands, `K` as "0", a bit list
// converted.
std::string integer_numeral(const Term& t);
// The leaves "0" and `K`, a numeral not beginning with '0', or an integer bit list whose number
// is zero or positive.
bool is_non_negative_integer(const Term& t);
// Zero: "0", the leaf `K`, or a bit list of magnitude zero.
bool is_zero_integer(const Term& t);
// The low 64 bits of an integer value's magnitude, the sign ignored.
uint64_t magnitude_low64(const Term& t);
