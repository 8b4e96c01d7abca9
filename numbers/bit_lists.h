// Bit lists: a tagged bit string carried as a term of the prelude letters.
//
// `K` is a 1 bit, `H` a 0 bit and `J` pairs an element with the rest. A bit string whose highest
// set bit is t is the list (J b0 (J b1 ( ... (J b(t-1) K) ... ))): bits from 0 upward with the
// highest set bit left implicit as the final `K`. So 0x01 is the bare leaf `K`, and the first
// element says the kind: `K` an integer, `H` a binary fraction. A list may also end in a
// numeral leaf, whose bits (below its own top bit) then continue the list.
#pragma once

#include <string>

#include "terms/term.h"

// The list of a bit string in normal form (asserts 518).
Term bits_to_bit_list(std::string bits);
// Number leaf of a bit string; 0x01 gives the leaf `K`. Binary fractions give their "00" leaf.
Term bits_to_term(std::string bits);
// The tagged bit string a number term carries: a numeral leaf, a leaf starting with `K`, or a
// bit list. Empty when the term is not such a number (a list element that is not `H` or `K`, a
// pair not headed by `J`, a list ending in a leaf that is no number). Walks long lists without
// recursion.
std::string term_bits(const Term& t);
// Integer numeral of an integer bit string; 0x01 (the leaf `K`) gives "0".
std::string integer_bits_to_numeral(std::string bits);
