#include "terms/term.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "diagnostics/diagnostics.h"
#include "terms/cells.h"
#include "diagnostics/memory_budget.h"

const char kCountAlphabet[65] =
    ",_abcdefghijklmnopqrustvwzxy0123456789ABCDEFGHIJKLMNOPQRUSTVWZXY";

namespace {

using cells::free_pair;

// Number and data leaves of 2^26 bytes or more have no room for their length in the header:
// it is kept in the word just before it, so that their text, which may hold NUL bytes, is never
// measured by searching for a terminator.
bool is_long_leaf(const Node* n) {
  unsigned char c = static_cast<unsigned char>(leaf_chars(n)[0]);
  return ((c >= '0' && c <= '9') || c == '[') && node_extent(n) == 0;
}

uint64_t long_leaf_length(const Node* n) { return reinterpret_cast<const uint64_t*>(n)[-1]; }

void free_leaf(Node* n) {
  if (is_long_leaf(n)) {
    std::free(reinterpret_cast<uint64_t*>(n) - 1);
  } else {
    cells::free_leaf(n);
  }
}

// Freed pairs are chained through their (no longer needed) header word, so that releasing a
// spine of any depth needs neither recursion nor extra memory.
void free_pairs(Node* first) {
  Node* pending = first;
  while (pending) {
    Node* p = pending;
    pending = reinterpret_cast<Node*>(p->header);
    Node* children[2] = {pair_left(p), pair_right(p)};
    free_pair(p);
    for (Node* c : children) {
      uint64_t v = c->header;
      uint64_t refs = v & kRefsMask;
      core_assert(refs != 0, 4299);
      if (refs > 1) {
        c->header = v - 1;
      } else if (node_is_leaf(c)) {
        free_leaf(c);
      } else {
        c->header = reinterpret_cast<uint64_t>(pending);
        pending = c;
      }
    }
  }
}

}  // namespace

void count_overflow() { assertion_failed("b", 4333); }
void count_underflow() { assertion_failed("b", 4299); }

void free_node(Node* n) {
  if (node_is_leaf(n)) {
    free_leaf(n);
  } else {
    n->header = 0;
    free_pairs(n);
  }
}

void set_arity(Node* n, int arity) {
  core_assert(arity < 12, 4422);
  core_assert(arity >= -52, 4423);
  uint64_t code = uint64_t(arity + 52);
  core_assert(code < 64, 4428);
  n->header = (n->header & ~(0x3Full << 56)) | (code << 56);
}

void set_extent(Node* n, uint64_t value) {
  core_assert(value <= kExtentMax, 4433);
  n->header = (n->header & ~kExtentMask) | (value << kExtentShift);
}

void set_inner(Node* n, bool inner) {
  n->header = inner ? (n->header | kInnerBit) : (n->header & ~kInnerBit);
}

void set_tag_byte(Node* n, unsigned tag) {
  n->header = (n->header & ~(0xFFull << 56)) | (uint64_t(tag & 0xFF) << 56);
}

void release(Term& t) {
  core_assert(bool(t), 6619);
  Node* n = t.take();
  release_node(n);
}

void assign(Term& target, const Term& source) {
  core_assert(bool(target), 6625);
  core_assert(bool(source), 6626);
  target = source;
}

namespace {

// malloc with operator new's failure protocol, so that the driver's handler reports it.
void* allocate_leaf_block(size_t bytes) {
  require_memory(bytes);
  for (;;) {
    if (void* p = std::malloc(bytes)) return p;
    std::new_handler handler = std::get_new_handler();
    if (!handler) throw std::bad_alloc();
    handler();
  }
}

}  // namespace

Term allocate_leaf(unsigned char first, size_t n) {
  bool measured = (first >= '0' && first <= '9') || first == '[';
  bool long_leaf = measured && n >= kLongText;
  size_t prefix = long_leaf ? sizeof(uint64_t) : 0;
  size_t bytes = size_sum(size_sum(prefix + sizeof(uint64_t), n), 1);
  Node* block;
  if (long_leaf) {
    auto* raw = static_cast<char*>(allocate_leaf_block(bytes));
    *reinterpret_cast<uint64_t*>(raw) = n;
    block = reinterpret_cast<Node*>(raw + prefix);
  } else {
    if (bytes > 32) require_memory(bytes);  // the pooled sizes always fit
    block = cells::allocate_leaf(bytes);
  }
  char* text = leaf_chars(block);
  text[0] = char(first);
  text[n] = '\0';
  uint64_t extent = measured && !long_leaf ? n : 0;
  block->header = kLeafBit | (extent << kExtentShift) | 1;
  return Term::adopt(block);
}

namespace {

Term new_leaf(const char* bytes, size_t n) {
  Term t = allocate_leaf(n ? static_cast<unsigned char>(bytes[0]) : 0, n);
  if (n) std::memcpy(leaf_chars(t.get()), bytes, n);
  return t;
}

}  // namespace

Term make_leaf(const char* text) {
  core_assert(text != nullptr, 6602);
  return new_leaf(text, std::strlen(text));
}

Term make_leaf(std::string_view bytes) { return new_leaf(bytes.data(), bytes.size()); }

void null_child() { assertion_failed("b", 6596); }

Term apply(const Term& function, const Term& argument) { return make_pair(function, argument); }

Term apply2(Term f, Term a, Term b) {
  return make_pair(make_pair(std::move(f), std::move(a)), std::move(b));
}

bool is_pair(const Term& t) { return node_is_pair(t.get()); }
bool is_leaf(const Term& t) { return node_is_leaf(t.get()); }

Term left_of(const Term& t) {
  core_assert(node_is_pair(t.get()), 6683);
  Node* c = pair_left(t.get());
  core_assert(c != nullptr, 6596);
  return Term::share(c);
}

Term right_of(const Term& t) {
  core_assert(node_is_pair(t.get()), 6684);
  Node* c = pair_right(t.get());
  core_assert(c != nullptr, 6596);
  return Term::share(c);
}

unsigned char first_char(const Term& t) { return node_first_char(t.get()); }

std::string_view leaf_text(const Term& t) { return leaf_text(t.get()); }

std::string_view leaf_text(const Node* n) {
  if (node_is_pair(n)) return {};
  const char* s = leaf_chars(n);
  unsigned char c = static_cast<unsigned char>(s[0]);
  if (c == ' ') return {s, 9};
  if (c == '(') {
    size_t close = 1;
    uint64_t count = 0;
    while (s[close] != ')') count = count * 64 + uint64_t(count_digit_value(s[close++]));
    return {s, close + 1 + count};
  }
  if ((c >= '0' && c <= '9') || c == '[') {
    uint64_t e = node_extent(n);
    if (e) return {s, e};
    uint64_t len = long_leaf_length(n);
    core_assert(len >= kLongText, 6726);
    return {s, len};
  }
  return {s, std::strlen(s)};
}

size_t text_length(const Term& t) { return text_length(t.get()); }

size_t text_length(const Node* n) {
  if (node_is_pair(n)) return 0;
  const char* s = leaf_chars(n);
  unsigned char c = static_cast<unsigned char>(s[0]);
  if (c == ' ') return 9;
  // Numbers and data by their stored length, however long: data may hold NUL bytes.
  if ((c >= '0' && c <= '9') || c == '[') return leaf_text(n).size();
  return std::strlen(s);
}

bool leaf_is(const Node* n, std::string_view s) {
  if (!node_is_leaf(n)) return false;
  const char* text = leaf_chars(n);
  return std::strncmp(text, s.data(), s.size()) == 0 && text[s.size()] == '\0' &&
         std::memchr(s.data(), 0, s.size()) == nullptr;
}

int count_digit_value(unsigned char c) {
  if (c == ',') return 0;
  if (c == '_') return 1;
  static const int* table = [] {
    static int t[256];
    for (int& v : t) v = -1;
    for (int i = 0; i < 64; ++i) t[static_cast<unsigned char>(kCountAlphabet[i])] = i;
    return t;
  }();
  int v = table[c];
  core_assert(v >= 0, 3328);
  return v;
}

std::string encode_count(uint64_t n) {
  std::string out;
  while (n) {
    out.insert(out.begin(), kCountAlphabet[n % 64]);
    n /= 64;
  }
  return out;
}

Term make_text(std::string_view payload) {
  return make_text_in_place(payload.size(), [&](char* out) {
    if (!payload.empty()) std::memcpy(out, payload.data(), payload.size());
  });
}

Term text_leaf_for(size_t payload_size, char*& payload) {
  std::string head = "(" + encode_count(payload_size) + ")";
  Term t = allocate_leaf('(', size_sum(head.size(), payload_size));
  char* text = leaf_chars(t.get());
  std::memcpy(text, head.data(), head.size());
  payload = text + head.size();
  return t;
}

uint64_t text_count(const Node* n) {
  const char* s = leaf_chars(n);
  uint64_t count = 0;
  for (size_t i = 1; s[i] != ')'; ++i) count = count * 64 + uint64_t(count_digit_value(s[i]));
  return count;
}

std::string_view text_payload(const Node* n) {
  std::string_view whole = leaf_text(n);
  size_t close = whole.find(')');
  return whole.substr(close + 1);
}
