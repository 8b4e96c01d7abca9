// Products of a long numeral by a short factor, computed on the decimal text itself.
//
// A loop such as a factorial multiplies one long numeral by a small number at every step.
// Converting the text to limbs and back would cost three passes over it for one pass of
// multiplication; here the text is read and the product written eight digits at a time, once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "terms/term.h"

// Factors up to this many digits take the text path.
constexpr size_t kTextFactorDigits = 16;

// The digit count of digits * k: its exact length when the leading digits decide it, 0 when
// only the full product can tell (then it is one of the two candidate lengths). digits is a
// magnitude without leading zeros, not "0"; 1 <= k < 10^16.
size_t text_product_length(std::string_view digits, uint64_t k);

// Writes the `length` low digits of digits * k at out, zero-padded on the left; length is at
// least digits.size() and the product must fit in it with one extra digit to spare at most.
void write_text_product(char* out, size_t length, std::string_view digits, uint64_t k);

// The number leaf of digits * k with a sign zero when negative; same conditions as above.
Term text_product_leaf(bool negative, std::string_view digits, uint64_t k);
