#include "eval/native_rules.h"

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "numbers/bit_lists.h"
#include "numbers/bits.h"
#include "terms/data_values.h"
#include "terms/term_walks.h"
#include "diagnostics/diagnostics.h"
#include "numbers/numerals.h"

namespace {

Term g_shared[256];

Term leaf(const char* s) { return shared_leaf(static_cast<unsigned char>(s[0])); }

Term v_pair(Term a, Term b) { return apply2(leaf("V"), std::move(a), std::move(b)); }
Term j_pair(Term a, Term b) { return apply2(leaf("J"), std::move(a), std::move(b)); }

Term bit_tree(uint64_t word, int low, int count) {
  if (count == 1) return leaf(((word >> low) & 1) ? "K" : "H");
  int half = count / 2;
  return v_pair(bit_tree(word, low, half), bit_tree(word, low + half, half));
}

Term byte_tree(unsigned char v) {
  auto b = [v](int i) { return leaf(((v >> i) & 1) ? "I" : "H"); };
  Term low = j_pair(j_pair(b(0), b(1)), j_pair(b(2), b(3)));
  Term high = j_pair(j_pair(b(4), b(5)), j_pair(b(6), b(7)));
  return v_pair(std::move(low), std::move(high));
}

// The J tree of a data leaf's text: "[]" is K; each element e appends as ((J acc) j(e)).
// Runs as a stack machine over the text, so nesting depth costs no native stack.
Term j_tree_of_text(std::string_view text) {
  std::vector<Term> open;
  Term acc;
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '[') {
      if (acc) open.push_back(std::move(acc));
      acc = leaf("K");
    } else if (c == ']') {
      if (open.empty()) return acc;
      Term done = std::move(acc);
      acc = j_pair(std::move(open.back()), std::move(done));
      open.pop_back();
    } else {
      Term form = char_data_form(c);
      core_assert(bool(form), 959);
      acc = j_pair(std::move(acc), j_tree_of_text(leaf_text(form)));
    }
  }
  return acc;
}

// The J tree of any data value: a pair of data values is ((J j(l)) j(r)).
Term j_tree(Node* d) {
  return fold_tree<Term>(
      d,
      [](const Node* n) -> std::optional<Term> {
        if (node_is_leaf(n)) return j_tree_of_text(leaf_text(n));
        return std::nullopt;
      },
      [](const Node*, Term l, Term r) { return j_pair(std::move(l), std::move(r)); });
}

}  // namespace

Term shared_leaf(unsigned char c) {
  Term& slot = g_shared[c];
  if (!slot) {
    char text[2] = {char(c), '\0'};
    slot = make_leaf(text);
  }
  return slot;
}

void forget_shared_leaves() {
  for (Term& slot : g_shared) slot = Term();
}

Term apply_number(Node* number, const Term& argument) {
  std::string numeral(leaf_text(number));
  if (numeral == "0") return apply(leaf("K"), argument);
  bool negative = is_negative_numeral(numeral);
  std::string bits = trim_bits(halve_bits(halve_bits(numeral_to_bits(numeral))));
  // The fraction zero "00" halves to nothing at all; like the bare bit string 0x01 it is the
  // leaf K, which reads as zero.
  Term rest = bits.empty() ? leaf("K") : bits_to_term(bits);
  return v_pair(leaf(negative ? "K" : "H"), std::move(rest));
}

Term apply_real(Node* real, const Term& argument) {
  core_assert(node_first_char(real) == ' ', 9230);
  uint64_t word;
  std::memcpy(&word, leaf_chars(real) + 1, 8);
  return make_pair(bit_tree(word, 0, 64), argument);
}

Term apply_text(Node* text) {
  std::string_view payload = text_payload(text);
  size_t n = payload.size();
  if (n == 0) return leaf("Z");
  if (n == 1) {
    core_assert(text_count(text) == 1, 2193);
    return byte_tree(static_cast<unsigned char>(payload[0]));
  }
  size_t k = 1;
  while (k * 2 < n) k *= 2;
  return v_pair(make_text(payload.substr(0, k)), make_text(payload.substr(k)));
}

Term apply_data(Node* data, const Term& argument) {
  Term xj = apply(leaf("X"), leaf("J"));
  if (leaf_is(data, "[]")) return apply2(argument, std::move(xj), leaf("K"));
  if (node_first_char(argument.get()) == 'G') {
    DataHalves halves = data_halves(Term::share(data));
    return v_pair(std::move(halves.left), std::move(halves.right));
  }
  return apply2(argument, std::move(xj), j_tree(data));
}
