// Building arguments and calling primitives directly, the way the engine calls them: the
// built-in receives the saturated application ((name x) y) and owns that handle.
#pragma once

#include <string>
#include <string_view>

#include "numbers/bit_lists.h"
#include "numbers/bits.h"
#include "common/builtin.h"
#include "terms/print.h"
#include "numbers/reals.h"
#include "terms/term.h"

inline Term lf(std::string_view text) { return make_leaf(text); }
inline Term txt(std::string_view payload) { return make_text(payload); }
inline Term dbl(double d) { return make_real(d); }
// The bit list of an integer or fraction numeral.
inline Term bit_list(std::string_view numeral) { return bits_to_bit_list(numeral_to_bits(numeral)); }

inline Term call(BuiltinFunction f, const Term& x) { return f(apply(make_leaf("f"), x)); }
inline Term call(BuiltinFunction f, const Term& x, const Term& y) {
  return f(apply(apply(make_leaf("f"), x), y));
}
inline Term call(BuiltinFunction f, const Term& x, const Term& y, const Term& z) {
  return f(apply(apply(apply(make_leaf("f"), x), y), z));
}

// A leaf's text as stored; a pair in printed form.
inline std::string show(const Term& t) {
  if (is_leaf(t)) return std::string(leaf_text(t));
  return print_term(t);
}
