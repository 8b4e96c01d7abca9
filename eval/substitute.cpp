#include "eval/analysis.h"
#include "diagnostics/diagnostics.h"
#include "eval/engine.h"

namespace {

Term substitute_in(Node* b, const Term& value, uint32_t bit) {
  if ((free_variables(b) & bit) == 0) return Term::share(b);
  if (node_is_leaf(b)) return value;  // the variable itself
  Node* f = pair_left(b);
  Node* a = pair_right(b);
  if (shape_of(b) == Shape::abstraction) {
    return make_pair(Term::share(f), substitute_in(a, value, bit));
  }
  // A let's binder leaf is never replaced; its body is left alone when it re-binds the letter.
  if (node_is_pair(f) && is_byte_leaf(pair_left(f), '{')) {
    return make_pair(Term::share(f), substitute_in(a, value, bit));
  }
  if (shape_of(b) == Shape::let) {
    Term head = substitute_in(f, value, bit);
    Node* binder = pair_right(pair_left(f));
    bool rebinds = (free_variables(binder) & bit) != 0;
    return make_pair(std::move(head), rebinds ? Term::share(a) : substitute_in(a, value, bit));
  }
  return make_pair(substitute_in(f, value, bit), substitute_in(a, value, bit));
}

}  // namespace

Term substitute(const Term& body, const Term& value, char letter) {
  core_assert(letter >= 'a' && letter <= 'z', 7160);
  return substitute_in(body.get(), value, 1u << (letter - 'a'));
}
