// Term store: every value is a node, either an application cell (pair) or a text leaf.
//
// Every node starts with one 64-bit header word:
//   bits  0..29  reference count
//   bits 30..55  extent: text length of number and data leaves (0 when 2^26 or more),
//                summed length of data pairs, or the free-variable set of analysed nodes
//   bits 56..61  arity + 52 (arity -52..11), written by the evaluator's analysis
//   bit  62      inner flag: an argument position inside the term is reducible
//   bit  63      leaf bit (so a leaf's header is negative as a signed word)
// Bits 56..63 are the tag byte: 0x00/0x80 means "not analysed yet", tag & 0x7F == 0x40 data.
//
// A pair is 24 bytes {header, left, right}; a leaf is one malloc block {header, bytes, NUL}.
// Leaf kinds by first byte: digit number, '[' data, space real (space + 8 raw bytes of a
// double), '(' counted byte string ("(" base-64 count ")" payload), anything else a name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "terms/cells.h"

struct Node {
  uint64_t header;
};

struct Pair {
  uint64_t header;
  Node* left;
  Node* right;
};

constexpr uint64_t kRefsMask = 0x3FFFFFFFull;
constexpr int kExtentShift = 30;
constexpr uint64_t kExtentMax = 0x3FFFFFFull;
constexpr uint64_t kExtentMask = kExtentMax << kExtentShift;
constexpr uint64_t kInnerBit = 1ull << 62;
constexpr uint64_t kLeafBit = 1ull << 63;
constexpr size_t kLongText = size_t(1) << 26;

inline bool node_is_leaf(const Node* n) { return static_cast<int64_t>(n->header) < 0; }
inline bool node_is_pair(const Node* n) { return static_cast<int64_t>(n->header) >= 0; }
inline unsigned tag_byte(const Node* n) { return unsigned(n->header >> 56); }
inline bool node_analysed(const Node* n) { return (tag_byte(n) & 0x7F) != 0; }
inline bool node_is_data_tagged(const Node* n) { return (tag_byte(n) & 0x7F) == 0x40; }
inline uint32_t node_refs(const Node* n) { return uint32_t(n->header & kRefsMask); }
inline uint64_t node_extent(const Node* n) { return (n->header & kExtentMask) >> kExtentShift; }
inline int node_arity(const Node* n) { return int((n->header >> 56) & 0x3F) - 52; }
inline bool node_inner(const Node* n) { return (n->header & kInnerBit) != 0; }
inline Node* pair_left(const Node* n) { return reinterpret_cast<const Pair*>(n)->left; }
inline Node* pair_right(const Node* n) { return reinterpret_cast<const Pair*>(n)->right; }
inline char* leaf_chars(Node* n) { return reinterpret_cast<char*>(n) + sizeof(uint64_t); }
inline const char* leaf_chars(const Node* n) {
  return reinterpret_cast<const char*>(n) + sizeof(uint64_t);
}
inline unsigned char node_first_char(const Node* n) {
  return node_is_leaf(n) ? static_cast<unsigned char>(leaf_chars(n)[0]) : 0;
}

// The count is checked before it changes, so that a change never carries into the extent.
[[noreturn]] void count_overflow();
[[noreturn]] void count_underflow();
void free_node(Node* n);  // the last reference is gone

inline void retain(Node* n) {
  uint64_t v = n->header;
  if ((v & kRefsMask) == kRefsMask) [[unlikely]]
    count_overflow();
  n->header = v + 1;
}

inline void release_node(Node* n) {
  uint64_t v = n->header;
  uint64_t refs = v & kRefsMask;
  if (refs > 1) [[likely]] {
    n->header = v - 1;
    return;
  }
  if (refs == 0) [[unlikely]]
    count_underflow();
  free_node(n);
}
void set_arity(Node* n, int arity);
void set_extent(Node* n, uint64_t value);
void set_inner(Node* n, bool inner);
// Writes the whole tag byte (arity code plus flags) at once; used for data tags.
void set_tag_byte(Node* n, unsigned tag);

// A counted handle: owns exactly one reference to its node, or is empty after a move.
class Term {
 public:
  Term() = default;
  // Takes over a reference the caller already owns.
  static Term adopt(Node* n) { return Term(n); }
  // Takes a new reference.
  static Term share(Node* n) {
    retain(n);
    return Term(n);
  }
  Term(const Term& other) : node_(other.node_) {
    if (node_) retain(node_);
  }
  Term(Term&& other) noexcept : node_(other.node_) { other.node_ = nullptr; }
  Term& operator=(const Term& other) {
    if (node_ != other.node_) {
      if (other.node_) retain(other.node_);
      Node* old = node_;
      node_ = other.node_;
      if (old) release_node(old);
    }
    return *this;
  }
  Term& operator=(Term&& other) noexcept {
    if (this != &other) {
      Node* old = node_;
      node_ = other.node_;
      other.node_ = nullptr;
      if (old) release_node(old);
    }
    return *this;
  }
  ~Term() {
    if (node_) release_node(node_);
  }

  Node* get() const { return node_; }
  explicit operator bool() const { return node_ != nullptr; }
  // Hands the reference to the caller; the handle becomes empty.
  Node* take() {
    Node* n = node_;
    node_ = nullptr;
    return n;
  }

 private:
  explicit Term(Node* n) : node_(n) {}
  Node* node_ = nullptr;
};

// Handle operations with the checks of the store.
void release(Term& t);                        // drops the reference; asserts non-null
void assign(Term& target, const Term& source);  // asserts both non-null

// A leaf of n text bytes whose first byte is `first` and whose other bytes the caller writes
// (leaf_chars) before anyone reads it: large results are built where they will stay.
Term allocate_leaf(unsigned char first, size_t n);
// The same for fewer than 24 text bytes, straight from the leaf pools.
inline Term allocate_short_leaf(unsigned char first, size_t n) {
  Node* block = cells::allocate_pooled_leaf(n < 8 ? 1 : 2);
  char* text = leaf_chars(block);
  text[0] = char(first);
  text[n] = '\0';
  bool measured = (first >= '0' && first <= '9') || first == '[';
  block->header = kLeafBit | (uint64_t(measured ? n : 0) << kExtentShift) | 1;
  return Term::adopt(block);
}
Term make_leaf(const char* text);      // NUL-terminated text
Term make_leaf(std::string_view bytes);  // any bytes; a NUL is appended
[[noreturn]] void null_child();
inline Term make_pair(Term function, Term argument) {
  if (!function || !argument) [[unlikely]]
    null_child();
  Pair* p = cells::allocate_pair();
  p->header = 1;
  p->left = function.take();
  p->right = argument.take();
  return Term::adopt(reinterpret_cast<Node*>(p));
}
Term apply(const Term& function, const Term& argument);
Term apply2(Term f, Term a, Term b);

bool is_pair(const Term& t);
bool is_leaf(const Term& t);
Term left_of(const Term& t);
Term right_of(const Term& t);
unsigned char first_char(const Term& t);
// The leaf's text by its kind's length rule; empty for a pair. Valid while the node lives.
std::string_view leaf_text(const Term& t);
std::string_view leaf_text(const Node* n);
size_t text_length(const Term& t);
size_t text_length(const Node* n);
// True when the leaf's whole text equals s (names and special leaves).
bool leaf_is(const Node* n, std::string_view s);
inline bool leaf_is(const Term& t, std::string_view s) { return leaf_is(t.get(), s); }

// The 64-symbol alphabet that writes counts of texts and position codes.
extern const char kCountAlphabet[65];
int count_digit_value(unsigned char c);  // assertion 3328 outside the alphabet
std::string encode_count(uint64_t n);    // most significant digit first; 0 is ""

// Counted byte strings ("texts").
Term make_text(std::string_view payload);
// The text of payload_size bytes, with `payload` pointed at its payload to be written.
Term text_leaf_for(size_t payload_size, char*& payload);
// The text whose payload fill(char* payload) writes in place.
template <class Fill>
Term make_text_in_place(size_t payload_size, Fill&& fill) {
  char* payload = nullptr;
  Term t = text_leaf_for(payload_size, payload);
  fill(payload);
  return t;
}
uint64_t text_count(const Node* n);             // count written between "(" and ")"
std::string_view text_payload(const Node* n);   // the payload bytes
