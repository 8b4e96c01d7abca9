// Bit lists: bit strings as terms of `J`, `K` and `H`, and number terms read back as bits.
#include "numbers/bit_lists.h"

#include "numbers/bits.h"
#include "diagnostics/diagnostics.h"
#include "numbers/numerals.h"

Term bits_to_bit_list(std::string bits) {
  assert_normal_bits(bits);
  Term j = make_leaf("J");
  Term one = make_leaf("K");
  Term zero = make_leaf("H");
  Term list = one;
  // Built from the innermost element outward, so no recursion over the list.
  for (int64_t i = top_bit(bits) - 1; i >= 0; --i)
    list = make_pair(make_pair(j, bit_at(bits, uint64_t(i)) ? one : zero), std::move(list));
  return list;
}

Term bits_to_term(std::string bits) {
  bits = trim_bits(std::move(bits));
  if (bits == std::string(1, '\x01')) return make_leaf("K");
  std::string numeral = bits_to_numeral(std::move(bits));
  if (is_integer_numeral(numeral)) return numeral_leaf(numeral);
  return make_leaf(numeral);
}

std::string term_bits(const Term& t) {
  // The accumulator starts as the lone top bit; each element takes the top bit's place and
  // pushes the top bit one higher.
  std::string bits(1, '\x01');
  uint64_t top = 0;
  const Node* n = t.get();
  while (node_is_pair(n)) {
    const Node* head = pair_left(n);
    if (node_is_leaf(head)) return "";
    const Node* j = pair_left(head);
    if (!node_is_leaf(j) || !leaf_is(j, "J")) return "";
    const Node* b = pair_right(head);
    bool one = leaf_is(b, "K");
    if (!one && !leaf_is(b, "H")) return "";
    set_bit(bits, top, one);
    set_bit(bits, top + 1, true);
    ++top;
    n = pair_right(n);
  }
  unsigned char first = node_first_char(n);
  if (first == 'K') return bits;
  if (first < '0' || first > '9') return "";
  std::string tail = numeral_to_bits(leaf_text(n));
  if (top == 0) return tail;  // a bare numeral
  int64_t tail_top = top_bit(tail);
  for (int64_t i = 0; i < tail_top; ++i) {
    set_bit(bits, top, bit_at(tail, uint64_t(i)));
    set_bit(bits, top + 1, true);
    ++top;
  }
  return bits;
}

std::string integer_bits_to_numeral(std::string bits) {
  bits = trim_bits(std::move(bits));
  if (bits == std::string(1, '\x01')) return "0";
  return bits_to_numeral(std::move(bits));
}
