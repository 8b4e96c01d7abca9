// The structural order of terms and the run-wide interning table.
//
// The structural order looks only at shape and leaf texts: the same node is equal to itself,
// a leaf orders before a pair, two pairs compare their functions and then their arguments, and
// two leaves compare their whole texts (as `leaf_text` gives them, so a counted byte string is
// compared past embedded NULs) as unsigned bytes, the shorter first when one is a prefix.
//
// The interning table holds one reference to each member; no two members are structurally
// equal. `intern` returns the member equal to its argument, entering the argument (and, for a
// pair, first its children) when there is none, so equal terms passed through it come back as
// one and the same node. Members are found by a structural hash and confirmed by the order.
#pragma once

#include <cstddef>
#include <functional>

#include "terms/term.h"

// -1 when a orders before b, 0 when they are structurally equal, 1 when a orders after b.
int structural_compare(const Node* a, const Node* b);
inline int structural_compare(const Term& a, const Term& b) {
  return structural_compare(a.get(), b.get());
}

Term intern(const Term& x);
// Releases every member.
void clear_intern_table();
// Releases the members for which drop holds (the linker keeps only normal forms). drop may be
// asked more than once about a node and must answer the same each time.
void remove_interned_if(const std::function<bool(const Node*)>& drop);
size_t intern_table_size();
