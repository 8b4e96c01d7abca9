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

namespace pair_analysis {

// What a child's tag byte tells the analysis of its parent pair, one row per tag.
struct TagRow {
  uint8_t applied;   // arity code of (f a) for a function of this tag (a not data)
  bool data;         // a data leaf or data pair
  bool inner_as_f;   // as the function: a redex inside it
  bool inner_as_a;   // as the argument: a redex inside it or at it
  bool free_set;     // the extent holds a free-variable set
};

struct TagTable {
  TagRow rows[256];
  constexpr TagTable() : rows() {
    for (unsigned t = 0; t < 256; ++t) {
      bool leaf = (t & 0x80) != 0;
      bool data = (t & 0x7F) == 0x40;
      bool inner = (t & 0x40) != 0;
      int arity = int(t & 0x3F) - 52;
      int applied = data ? 0 : (arity == 11 || arity < -50) ? arity : arity - 1;
      rows[t] = {uint8_t(applied + 52), data, !data && inner,
                 !data && (inner || arity < 1), leaf ? (t & 0x3F) == 11 + 52 : !data};
    }
  }
};

inline constexpr TagTable kTags;

inline uint32_t extent_bits(uint64_t header) {
  return uint32_t((header & kExtentMask) >> kExtentShift);
}

// Bit c set: a function of arity code c may be the head of a binder's form (all set outside
// a run).
extern uint64_t binder_codes;

}  // namespace pair_analysis

void analyse_data_pair(Node* n);

// Both children are analysed already. The whole result goes into the header in one write.
inline void analyse_pair(Node* n) {
  using namespace pair_analysis;
  Node* f = pair_left(n);
  Node* a = pair_right(n);
  uint64_t hf = f->header, ha = a->header;
  const TagRow& rf = kTags.rows[hf >> 56];
  const TagRow& ra = kTags.rows[ha >> 56];
  if (rf.data && ra.data) {
    analyse_data_pair(n);
    return;
  }
  uint32_t free_f = rf.free_set ? extent_bits(hf) : 0;
  uint32_t free_a = ra.free_set ? extent_bits(ha) : 0;
  bool inner = rf.inner_as_f || ra.inner_as_a;
  uint32_t set = free_f | free_a;
  // f is a pair of an arity a binder's head can have: n may be an abstraction or a let.
  if (static_cast<int64_t>(hf) >= 0 && ((binder_codes >> ((hf >> 56) & 0x3F)) & 1)) {
    Node* ff = pair_left(f);
    if (is_byte_leaf(ff, '\\')) {
      inner = false;  // an abstraction: its binder is not free
      set = free_a & ~free_f;
    } else if (is_byte_leaf(ff, '{')) {
      set = free_a;  // ({ x) v: the binder is not free here
    } else if (node_is_pair(ff) && is_byte_leaf(pair_left(ff), '{')) {
      set = (free_a & ~cached_free_variables(pair_right(ff))) | free_f;  // a let
    }
  }
  // The arity stays within -51..11 here and a free set within 26 bits, so no range check fires.
  n->header = (n->header & kRefsMask) | (uint64_t(set) << kExtentShift) |
              (uint64_t(rf.applied) << 56) | (inner ? kInnerBit : 0);
}
