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

// The first bytes of the lazy combinators, which take their arguments as they are.
struct LazyHeads {
  bool member[256];
  constexpr LazyHeads() : member() {
    for (const char* p = "&|ABCDEFHIJKLNQRTUVXZ"; *p; ++p) {
      member[static_cast<unsigned char>(*p)] = true;
    }
  }
};
inline constexpr LazyHeads kLazyHeads;

// True when the head (leftmost leaf or data node) is one of the lazy combinators.
inline bool head_is_lazy(const Node* n) {
  while (node_is_pair(n) && !node_is_data_tagged(n)) n = pair_left(n);
  return kLazyHeads.member[node_first_char(n)];
}

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

// What a child's tag byte tells the analysis of its parent pair, as one word per tag and role,
// laid out like the parent's header so that the analysis is a few masks and ors:
//   bits 56..61  (function role) arity code of (f a) for a function of this tag, a not data
//   bit 62       a redex inside the child (as the function), or inside it or at it (argument)
//   extent bits  all set when the child's extent holds a free-variable set
//   bit 63       the child is a data leaf or data pair
struct TagTable {
  uint64_t as_function[256];
  uint64_t as_argument[256];
  constexpr TagTable() : as_function(), as_argument() {
    for (unsigned t = 0; t < 256; ++t) {
      bool leaf = (t & 0x80) != 0;
      bool data = (t & 0x7F) == 0x40;
      bool inner = (t & 0x40) != 0;
      int arity = int(t & 0x3F) - 52;
      int applied = data ? 0 : (arity == 11 || arity < -50) ? arity : arity - 1;
      bool free_set = leaf ? (t & 0x3F) == 11 + 52 : !data;
      uint64_t common = (free_set ? kExtentMask : 0) | (data ? kLeafBit : 0);
      as_function[t] = common | (uint64_t(applied + 52) << 56) |
                       (!data && inner ? kInnerBit : 0);
      as_argument[t] = common | (!data && (inner || arity < 1) ? kInnerBit : 0);
    }
  }
  // Arity code of (f a) for a function of arity code c.
  constexpr unsigned applied(unsigned c) const { return unsigned(as_function[c] >> 56) & 0x3F; }
};

inline constexpr TagTable kTags;

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
  uint64_t rf = kTags.as_function[hf >> 56];
  uint64_t ra = kTags.as_argument[ha >> 56];
  if (rf & ra & kLeafBit) {
    analyse_data_pair(n);
    return;
  }
  uint64_t free_f = hf & rf & kExtentMask;
  uint64_t free_a = ha & ra & kExtentMask;
  uint64_t word = (rf & (0x3Full << 56)) | ((rf | ra) & kInnerBit) | free_f | free_a;
  // f is a pair of an arity a binder's head can have: n may be an abstraction or a let.
  if (static_cast<int64_t>(hf) >= 0 && ((binder_codes >> ((hf >> 56) & 0x3F)) & 1)) {
    Node* ff = pair_left(f);
    uint64_t head = word & ~(kInnerBit | kExtentMask);
    if (is_byte_leaf(ff, '\\')) {
      word = head | (free_a & ~free_f);  // an abstraction: its binder is not free
    } else if (is_byte_leaf(ff, '{')) {
      word = head | (word & kInnerBit) | free_a;  // ({ x) v: the binder is not free here
    } else if (node_is_pair(ff) && is_byte_leaf(pair_left(ff), '{')) {
      uint64_t bound = uint64_t(cached_free_variables(pair_right(ff))) << kExtentShift;
      word = head | (word & kInnerBit) | (free_a & ~bound) | free_f;  // a let
    }
  }
  // The arity stays within -51..11 here and a free set within 26 bits, so no range check fires.
  n->header = (n->header & kRefsMask) | word;
}
