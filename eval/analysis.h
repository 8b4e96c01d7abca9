// The per-node analysis that the engine caches in each header word.
//
//   arity        how many more arguments the head needs before it can be rewritten
//                (-52..11; 11 = open-ended, a variable without a definition)
//   data marker  tag & 0x7F == 0x40: a '[' leaf (tag 0xC0) or a pair of data (tag 0x40)
//   inner flag   an argument position inside the term holds a redex
//   free set     26 bits in the extent field, bit i for the variable 'a' + i
//                (number leaves and data use the extent for their length instead)
// A node is analysed once; shared nodes keep their result.
#pragma once

#include <cstdint>

#include "terms/term.h"

void analyse(Node* n);
inline void analyse(const Term& t) { analyse(t.get()); }

// These read the cached analysis and analyse first when needed.
int arity_of(Node* n);
bool is_normal(Node* n);
uint32_t free_variables(Node* n);
inline bool is_normal(const Term& t) { return is_normal(t.get()); }
inline int arity_of(const Term& t) { return arity_of(t.get()); }
inline uint32_t free_variables(const Term& t) { return free_variables(t.get()); }

enum class Shape { abstraction, let, other };
Shape shape_of(const Node* pair);

// True when the head (leftmost leaf or data node) is one of the lazy combinators.
bool head_is_lazy(const Node* n);

// Number of leading strict abstractions of a definition, stopping at 11.
int leading_abstractions(const Node* definition);

// True for a leaf whose whole text is the given single byte.
inline bool is_byte_leaf(const Node* n, char c) {
  return node_is_leaf(n) && leaf_chars(n)[0] == c && leaf_chars(n)[1] == '\0';
}
