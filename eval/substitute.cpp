#include "eval/analysis.h"
#include "diagnostics/diagnostics.h"
#include "eval/engine.h"

namespace {

// The engine analyses every substitution result next; building it analysed spares a walk.
Term analysed_pair(Term f, Term a) {
  Term p = make_pair(std::move(f), std::move(a));
  analyse_pair(p.get());
  return p;
}

// Replaces, in one pass, every free occurrence of a letter in `letters` by values[letter].
// The values are closed, so this equals substituting them one letter at a time; a binder
// removes its letter from the set for its scope.
Term substitute_in(Node* b, uint32_t letters, Node* const* values) {
  uint32_t hit = cached_free_variables(b) & letters;
  if (hit == 0) return Term::share(b);
  if (node_is_leaf(b)) return Term::share(values[__builtin_ctz(hit)]);  // the variable itself
  Node* f = pair_left(b);
  Node* a = pair_right(b);
  if (node_is_pair(f)) {
    Node* ff = pair_left(f);
    if (is_byte_leaf(ff, '\\')) {  // (\ y) e
      return analysed_pair(Term::share(f), substitute_in(a, letters & ~cached_free_variables(f),
                                                     values));
    }
    // A let's binder leaf is never replaced; its body is left alone when it re-binds a letter.
    if (is_byte_leaf(ff, '{')) return analysed_pair(Term::share(f), substitute_in(a, letters, values));
    if (node_is_pair(ff) && is_byte_leaf(pair_left(ff), '{')) {
      Term head = substitute_in(f, letters, values);
      uint32_t inside = letters & ~cached_free_variables(pair_right(ff));
      return analysed_pair(std::move(head), substitute_in(a, inside, values));
    }
  }
  return analysed_pair(substitute_in(f, letters, values), substitute_in(a, letters, values));
}

}  // namespace

Term substitute_letters(Node* body, uint32_t letters, Node* const values[26]) {
  analyse(body);
  for (uint32_t rest = letters; rest; rest &= rest - 1) analyse(values[__builtin_ctz(rest)]);
  return substitute_in(body, letters, values);
}

Term substitute(const Term& body, const Term& value, char letter) {
  core_assert(letter >= 'a' && letter <= 'z', 7160);
  Node* values[26] = {};
  values[letter - 'a'] = value.get();
  return substitute_letters(body.get(), 1u << (letter - 'a'), values);
}
