// What numbers, reals, texts and data values become when applied as functions.
#pragma once

#include "terms/term.h"

// One leaf per single-byte name, shared by all the terms the engine builds during one
// reduction, so that each is allocated and analysed once. Forgotten when a reduction starts,
// since a program may give the letters other definitions.
Term shared_leaf(unsigned char c);
void forget_shared_leaves();

// A number leaf applied to a: "0" gives (K a); any other numeral gives (V s r) where s is K for
// a negative numeral and H otherwise, and r the number of the bit string halved twice.
Term apply_number(Node* number, const Term& argument);
// A real: the perfect binary tree of V pairs over its 64 bits (K for 1, H for 0), applied to a.
Term apply_real(Node* real, const Term& argument);
// A text: Z when empty, the byte tree of a single byte, or the V pair of its two parts.
Term apply_text(Node* text);
// A data value applied to a: its halves for G, else ((a (X J)) j) with j its J tree.
Term apply_data(Node* data, const Term& argument);
