#include "eval/analysis.h"

#include <vector>

#include "diagnostics/diagnostics.h"
#include "common/tables.h"
#include "terms/byte_classes.h"

namespace {

constexpr unsigned kDataLeafTag = 0xC0;
constexpr unsigned kDataPairTag = 0x40;


// Names the engine looks up: identifiers, single capitals and the operator characters.
bool is_engine_name(const char* s) {
  unsigned char c = static_cast<unsigned char>(s[0]);
  if (is_word_char(c)) {
    for (const char* p = s; *p; ++p) {
      if (!is_name_char(static_cast<unsigned char>(*p))) return false;
    }
    return true;
  }
  if (c == 0 || s[1] != '\0') return false;  // an empty text ends at s[0]
  return is_capital(c) || is_operator_character(c);
}

// A control byte or a byte from 0x7F names a definition when the program gives it one; left
// at arity 1, a definition of it with two parameters would be expanded with a single argument.
bool is_byte_name(const char* s) {
  unsigned char c = static_cast<unsigned char>(s[0]);
  return ((c >= 0x01 && c <= 0x1F) || c >= 0x7F) && s[1] == '\0';  // never past an empty text
}

// A number, made at many steps: arity 1, whatever the definitions.
void analyse_number(Node* n) {
  n->header = (n->header & ~(0xFFull << 56)) | kLeafBit | (uint64_t(1 + 52) << 56);
}

// Returns true when the analysis wrote the extent (a variable's free set).
bool analyse_leaf_text(Node* n) {
  const char* s = leaf_chars(n);
  unsigned char c = static_cast<unsigned char>(s[0]);
  if (c >= '0' && c <= '9') {
    analyse_number(n);
    return false;
  }
  if (c == '[') {
    set_tag_byte(n, kDataLeafTag);
    return false;
  }
  bool byte_name = is_byte_name(s);
  if (c == ')' || c == ']' || !(byte_name || is_engine_name(s))) {
    set_arity(n, 1);
    return false;
  }
  DefinitionTable& table = definition_table();
  auto it = table.find(std::string_view(s));
  if (it != table.end()) {
    set_arity(n, leading_abstractions(it->second.get()));
    set_inner(n, false);
    return false;
  }
  if (byte_name) {
    set_arity(n, 1);
    return false;
  }
  core_assert(s[1] == '\0', 7054);
  core_assert(c >= 'a', 7055);
  core_assert(c <= 'z', 7056);
  set_arity(n, 11);
  set_extent(n, 1u << (c - 'a'));
  return true;
}

// One-byte names come as fresh leaves from built-ins at every step (K, H, operators); during a
// run, when the definition table holds still for them, each byte is analysed once and its
// header bits copied from then on.
struct ByteAnalysis {
  uint64_t keep;  // header bits the analysis leaves alone
  uint64_t bits;  // the analysis written into the others
};
bool g_bytes_on = false;
bool g_byte_known[256];
ByteAnalysis g_bytes[256];

void analyse_leaf(Node* n) {
  const char* s = leaf_chars(n);
  if (!g_bytes_on || s[0] == '\0' || s[1] != '\0') {
    analyse_leaf_text(n);
    return;
  }
  auto c = static_cast<unsigned char>(s[0]);
  if (g_byte_known[c]) {
    n->header = (n->header & g_bytes[c].keep) | g_bytes[c].bits;
    return;
  }
  uint64_t keep = analyse_leaf_text(n) ? kRefsMask : kRefsMask | kExtentMask;
  g_bytes[c] = {keep, n->header & ~keep};
  g_byte_known[c] = true;
}

}  // namespace

namespace pair_analysis {
uint64_t binder_codes = ~0ull;
}  // namespace pair_analysis

// A data pair's tag, and its summed length while that fits.
void analyse_data_pair(Node* n) {
  set_tag_byte(n, kDataPairTag);
  uint64_t m = node_extent(pair_left(n)), t = node_extent(pair_right(n));
  if (m > 1 && t > 1 && m + t < kLongText) set_extent(n, m + t);
}

int leading_abstractions(const Node* d) {
  int count = 0;
  while (count < 11 && node_is_pair(d)) {
    const Node* l = pair_left(d);
    if (!node_is_pair(l) || !is_byte_leaf(pair_left(l), '\\')) break;
    ++count;
    d = pair_right(d);
  }
  return count;
}

void analyse_fresh(Node* root) {
  if (node_is_leaf(root)) {
    unsigned char c = static_cast<unsigned char>(leaf_chars(root)[0]);
    if (c >= '0' && c <= '9') {
      analyse_number(root);
    } else {
      analyse_leaf(root);
    }
    return;
  }
  // The engine mostly meets fresh pairs over analysed children.
  Node* f = pair_left(root);
  Node* a = pair_right(root);
  if (node_is_leaf(f) && !node_analysed(f)) analyse_leaf(f);
  if (node_is_leaf(a) && !node_analysed(a)) analyse_leaf(a);
  if (node_analysed(f) && node_analysed(a)) {
    analyse_pair(root);
    return;
  }
  // Post-order walk with an explicit stack: terms may be far deeper than the native stack.
  // The stack is kept between calls; analysis never re-enters itself.
  static std::vector<Node*> stack;
  stack.clear();
  stack.push_back(root);
  while (!stack.empty()) {
    Node* n = stack.back();
    if (node_analysed(n)) {
      stack.pop_back();
      continue;
    }
    if (node_is_leaf(n)) {
      analyse_leaf(n);
      stack.pop_back();
      continue;
    }
    Node* f = pair_left(n);
    Node* a = pair_right(n);
    bool ready = true;
    if (!node_analysed(a)) {
      stack.push_back(a);
      ready = false;
    }
    if (!node_analysed(f)) {
      stack.push_back(f);  // analysed first: left before right
      ready = false;
    }
    if (ready) {
      analyse_pair(n);
      stack.pop_back();
    }
  }
}

namespace {

// Arity code of (f a) for a function f of arity code c.
unsigned applied_code(unsigned c) { return pair_analysis::kTags.applied(c); }

// The arity code of a fresh leaf of one byte, or none (-1) when the table lacks the name.
int byte_leaf_code(char c) {
  char text[2] = {c, '\0'};
  if (!definition_table().count(text)) return -1;
  Term t = make_leaf(text);
  analyse_leaf(t.get());
  return int(tag_byte(t.get()) & 0x3F);
}

}  // namespace

void begin_run_analysis() {
  for (bool& known : g_byte_known) known = false;
  g_bytes_on = true;
  // Only a function whose arity is that of (\ x), ({ x) or (({ x) v) can head an abstraction
  // or a let, so the analysis looks inside no other function.
  int lambda = byte_leaf_code('\\'), let = byte_leaf_code('{');
  if (lambda < 0 || let < 0) return;
  unsigned head = applied_code(unsigned(let));
  pair_analysis::binder_codes = (1ull << applied_code(unsigned(lambda))) | (1ull << head) |
                   (1ull << applied_code(head));
}

void end_run_analysis() {
  g_bytes_on = false;
  pair_analysis::binder_codes = ~0ull;
}
