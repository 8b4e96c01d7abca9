#include "bridge/bridge_args.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <unordered_set>
#include <vector>

#include "terms/data_values.h"
#include "eval/integer_values.h"
#include "numbers/numerals.h"
#include "numbers/reals.h"
#include "primitives/primitive_arguments.h"

const Node* bridge_arg(const Term& m, int arity, int k) {
  const Node* n = m.get();
  for (int up = arity - 1 - k; up > 0; --up) n = pair_left(n);
  return pair_right(n);
}

bool bridge_is_integer(const Node* n) { return is_integer_value(Term::share(const_cast<Node*>(n))); }

bool bridge_is_non_negative(const Node* n) {
  return is_non_negative_integer(Term::share(const_cast<Node*>(n)));
}

bool bridge_is_c_string(const Node* n) {
  char letter = type_letter(n);
  return letter == 'a' || letter == 'i' || letter == 'u';
}

bool bridge_is_real(const Node* n) { return node_is_leaf(n) && leaf_chars(n)[0] == ' '; }

namespace {

bool test_kind(const Node* n, char kind) {
  switch (kind) {
    case 'i':
    case 'u':
      return bridge_is_integer(n);
    case 'n':
      return bridge_is_non_negative(n);
    case 's':
      return bridge_is_c_string(n);
    case 'r':
      return bridge_is_real(n);
  }
  return false;
}

void convert_c_string(const Node* n, BridgeCall& call, int k) {
  Term t = Term::share(const_cast<Node*>(n));
  switch (type_letter(n)) {
    case 'a':
      call.text[k] = text_payload(n).data();
      call.leaf[k] = t;
      return;
    case 'i':
      call.integer[k] = to_int64(t);
      call.text[k] = reinterpret_cast<const char*>(static_cast<uintptr_t>(call.integer[k]));
      return;
    default:  // data
      if (node_is_leaf(n)) {
        call.text[k] = leaf_chars(n);
        call.leaf[k] = t;
      } else {
        // A leaf rather than a plain string, so that an address a built-in returns into it
        // can keep it alive like any argument leaf.
        call.leaf[k] = make_leaf("[" + flatten(n) + "]");
        call.text[k] = leaf_chars(call.leaf[k].get());
      }
  }
}

struct KeptLeaves {
  std::vector<Term> terms;
  std::unordered_set<const Node*> nodes;
};

KeptLeaves& kept_leaves() {
  static KeptLeaves kept;
  return kept;
}

}  // namespace

bool bridge_convert(const Term& m, const char* kinds, BridgeCall& call) {
  int arity = int(std::strlen(kinds));
  for (int k = 0; k < arity; ++k) {
    if (!test_kind(bridge_arg(m, arity, k), kinds[k])) return false;
  }
  for (int k = 0; k < arity; ++k) {
    const Node* n = bridge_arg(m, arity, k);
    switch (kinds[k]) {
      case 's':
        convert_c_string(n, call, k);
        break;
      case 'r':
        call.real[k] = real_value(Term::share(const_cast<Node*>(n)));
        break;
      default:
        call.integer[k] = to_int64(Term::share(const_cast<Node*>(n)));
    }
  }
  return true;
}

Term bridge_int(int64_t value) { return int64_to_numeral(value); }

Term bridge_unsigned(uint64_t value) {
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, "%" PRIu64, value);
  return make_leaf(buffer);
}

Term bridge_real(double value) { return make_real(value); }
Term bridge_truth(bool value) { return make_leaf(value ? "K" : "H"); }
Term bridge_unit() { return make_leaf("I"); }
Term bridge_error() { return make_leaf("Z"); }

Term bridge_address(const void* p) {
  return int64_to_numeral(static_cast<int64_t>(reinterpret_cast<uintptr_t>(p)));
}

Term bridge_address(const BridgeCall& call, const void* p) {
  auto at = reinterpret_cast<uintptr_t>(p);
  for (const Term& leaf : call.leaf) {
    if (!leaf) continue;
    auto begin = reinterpret_cast<uintptr_t>(leaf_chars(leaf.get()));
    // The leaf's whole text and its terminating NUL.
    uintptr_t end = begin + leaf_text(leaf).size();
    if (at >= begin && at <= end) {
      bridge_keep_alive(leaf);
      break;
    }
  }
  return bridge_address(p);
}

void bridge_keep_alive(const Term& leaf) {
  KeptLeaves& kept = kept_leaves();
  if (kept.nodes.insert(leaf.get()).second) kept.terms.push_back(leaf);
}
