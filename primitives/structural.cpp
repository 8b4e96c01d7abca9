#include "primitives/structural.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "diagnostics/diagnostics.h"
#include "diagnostics/memory_budget.h"
#include "numbers/bit_lists.h"
#include "numbers/bits.h"
#include "numbers/numerals.h"
#include "numbers/reals.h"
#include "primitives/primitive_arguments.h"
#include "primitives/shapes.h"
#include "terms/data_values.h"
#include "terms/intern.h"
#include "terms/print.h"

namespace {

// Length of the numeral of a number: a leaf as it stands, a bit list converted.
uint64_t numeral_length(const Term& x, char letter) {
  if (node_is_leaf(x.get())) return text_length(x.get());
  if (letter == kTypeInteger) return integer_text(x).text.size();
  return bits_to_numeral(term_bits(x)).size();
}

// The start of a data value's content that a decimal or hexadecimal reading can take: blanks,
// then letters, digits, signs, points and the characters of "nan(...)"; what follows the
// first other byte cannot change the reading, so the rest of a large value is never read.
std::string numeric_prefix(const Node* data) {
  std::string out;
  bool started = false;
  for_each_content_piece(data, [&](std::string_view piece) {
    for (char ch : piece) {
      unsigned char c = static_cast<unsigned char>(ch);
      bool blank = c == ' ' || (c >= '\t' && c <= '\r');
      bool numeric = std::isalnum(c) || c == '.' || c == '+' || c == '-' || c == '(' ||
                     c == ')' || c == '_';
      if (blank ? started : !numeric) return false;
      started = started || !blank;
      out.push_back(ch);
    }
    require_memory(out.size());
    return true;
  });
  return out;
}

enum class Part { leaf, left, right };

// `leaf`, `left` and `rght` of a pair that is not data (shapes in the header).
Term inspect_pair(Part part, const Node* x) {
  Node* j = nullptr;
  if (data_list(x, j)) {
    Node* l = nullptr;
    Node* r = nullptr;
    bool empty = leaf_is(j, "K");
    bool cell = letter_pair(j, "J", l, r);
    if (empty || cell) {
      if (part == Part::leaf) return truth(empty);
      if (empty) return z_leaf();
      Term shell = left_of(Term::share(const_cast<Node*>(x)));
      return make_pair(shell, Term::share(part == Part::left ? l : r));
    }
  }
  Node* a = nullptr;
  Node* b = nullptr;
  if (letter_pair(x, "V", a, b) || letter_pair(x, "J", a, b)) {
    if (part == Part::leaf) return h_leaf();
    return Term::share(part == Part::left ? a : b);
  }
  return z_leaf();
}

Term halves(Part part, Term application) {
  Term x = only_arg(application);
  if (is_data_value(x)) {
    bool empty = is_empty_data(x.get());
    if (part == Part::leaf) return truth(empty);
    // The empty value has no halves: an error value, as for `buck` and `wave`, rather than a
    // stop of the whole process on a program's mistake.
    if (empty) return z_leaf();
    DataHalves h = data_halves(x);
    return part == Part::left ? h.left : h.right;
  }
  if (node_is_leaf(x.get())) return z_leaf();
  return inspect_pair(part, x.get());
}

const BuiltinRow kRows[] = {
    {"type", 1, type}, {"rank", 1, rank}, {"real", 1, real}, {"leak", 1, leak},
    {"raws", 2, raws}, {"lisp", 1, lisp}, {"tern", 1, tern}, {"leaf", 1, leaf},
    {"left", 1, left}, {"rght", 1, rght},
};

}  // namespace

Term type(Term application) { return make_leaf(type_name(type_letter(only_arg(application)))); }

Term rank(Term application) {
  Term x = only_arg(application);
  char letter = type_letter(x);
  switch (letter) {
    case kTypeText:
      return int64_to_numeral(int64_t(text_count(x.get())));
    case kTypeReal:
      return make_leaf("8");
    case kTypeInteger:
    case kTypeFraction:
      return int64_to_numeral(int64_t(numeral_length(x, letter)));
    case kTypeData:
      return int64_to_numeral(int64_t(data_length(x)));
    default:
      return z_leaf();
  }
}

Term real(Term application) {
  Term x = only_arg(application);
  switch (type_letter(x)) {
    case kTypeText: {
      std::string text(text_payload(x.get()));
      return make_real(std::strtod(text.c_str(), nullptr));
    }
    case kTypeReal:
      return x;
    case kTypeInteger:
      return integer_to_real(x);
    case kTypeFraction:
      return fraction_to_real(x);
    case kTypeData:
      return make_real(std::atof(numeric_prefix(x.get()).c_str()));
    default: {
      // The bit tree a real becomes when it is applied turns back into that real.
      auto bits = real_tree_bits(x.get());
      if (!bits) return z_leaf();
      double d;
      std::memcpy(&d, &*bits, sizeof d);
      return make_real(d);
    }
  }
}

Term leak(Term application) {
  Term x = only_arg(application);
  return int64_to_numeral(static_cast<int64_t>(reinterpret_cast<intptr_t>(x.get())));
}

Term raws(Term application) {
  TwoArgs args = two_args(application);
  return truth(args.x.get() == args.y.get());
}

Term lisp(Term application) { return make_data(print_term(only_arg(application))); }

Term tern(Term application) { return intern(only_arg(application)); }

Term leaf(Term application) { return halves(Part::leaf, std::move(application)); }
Term left(Term application) { return halves(Part::left, std::move(application)); }
Term rght(Term application) { return halves(Part::right, std::move(application)); }

std::span<const BuiltinRow> structural_rows() { return kRows; }
