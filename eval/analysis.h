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

void analyse_fresh(Node* n);  // n is not analysed yet
inline void analyse(Node* n) {
  if (!node_analysed(n)) analyse_fresh(n);
}
inline void analyse(const Term& t) { analyse(t.get()); }
// Between these, the definition table's arities hold still (a reduction runs), so leaves of
// one byte are analysed once per byte.
void begin_run_analysis();
void end_run_analysis();
// Analyses a fresh pair whose two children are analysed already.
void analyse_pair(Node* pair);

// The free-variable set of an analysed node: data and number leaves have none (their extent
// holds a length). Of the leaves only the variables, at arity 11, have a free set; a name with
// eleven or more parameters has an empty extent.
inline uint32_t cached_free_variables(const Node* n) {
  uint64_t h = n->header;
  unsigned tag = unsigned(h >> 56);
  uint32_t extent = uint32_t((h & kExtentMask) >> kExtentShift);
  if (node_is_leaf(n)) return (tag & 0x3F) == 11 + 52 ? extent : 0;
  return (tag & 0x7F) == 0x40 ? 0 : extent;
}

// These read the cached analysis and analyse first when needed.
inline int arity_of(Node* n) {
  analyse(n);
  return node_is_data_tagged(n) ? 1 : node_arity(n);
}
inline bool is_normal(Node* n) {
  analyse(n);
  if (node_is_data_tagged(n)) return true;
  if (node_inner(n)) return false;
  return node_arity(n) >= 1;
}
inline uint32_t free_variables(Node* n) {
  analyse(n);
  return cached_free_variables(n);
}
inline bool is_normal(const Term& t) { return is_normal(t.get()); }
inline int arity_of(const Term& t) { return arity_of(t.get()); }
inline uint32_t free_variables(const Term& t) { return free_variables(t.get()); }

enum class Shape { abstraction, let, other };

// True when the head (leftmost leaf or data node) is one of the lazy combinators.
bool head_is_lazy(const Node* n);

// Number of leading strict abstractions of a definition, stopping at 11.
int leading_abstractions(const Node* definition);

// True for a leaf whose whole text is the given single byte.
inline bool is_byte_leaf(const Node* n, char c) {
  if (!node_is_leaf(n)) return false;
  const char* s = leaf_chars(n);
  return s[0] == c && s[1] == '\0';
}

// Abstraction ((\ x) body), let ((({ x) value) body), or any other pair.
inline Shape shape_of(const Node* n) {
  const Node* l = pair_left(n);
  if (node_is_pair(l)) {
    const Node* ll = pair_left(l);
    if (is_byte_leaf(ll, '\\')) return Shape::abstraction;
    if (node_is_pair(ll) && is_byte_leaf(pair_left(ll), '{')) return Shape::let;
  }
  return Shape::other;
}
