// Term shapes that the prelude's combinators build, as the primitives recognise them.
//
//   ((C a) b)        a letter C applied to two arguments: V pairs, J list cells
//   ((V (X J)) j)    what a data value becomes when applied to V; j is its J tree:
//                    K for the empty value, ((J l) r) for the halves l and r
//   64-bit tree      what a real becomes when applied: ((V low) high) over the halves of the
//                    bit positions, down to K (bit set) or H (bit clear) for single bits
//   byte tree        what a one-byte text becomes when applied:
//                    ((V ((J ((J b0) b1)) ((J b2) b3))) ((J ((J b4) b5)) ((J b6) b7)))
//                    with b I (bit set) or H (bit clear)
// The readers never recurse deeper than these fixed shapes.
#pragma once

#include <cstdint>
#include <optional>

#include "terms/term.h"

// n = ((letter a) b): sets a and b.
bool letter_pair(const Node* n, const char* letter, Node*& a, Node*& b);
// n = ((V (X J)) j): sets j.
bool data_list(const Node* n, Node*& j);
// The 64 bits of a 64-bit tree.
std::optional<uint64_t> real_tree_bits(const Node* n);
// The byte of a byte tree.
std::optional<unsigned char> byte_tree_value(const Node* n);
