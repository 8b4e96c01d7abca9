#include "primitives/comparison.h"

#include <cstring>
#include <string>

#include "terms/data_values.h"
#include "numbers/fractions.h"
#include "primitives/integer_arithmetic.h"
#include "eval/integer_values.h"
#include "terms/intern.h"
#include "numbers/numerals.h"
#include "numbers/reals.h"
#include "primitives/small_integers.h"
#include "primitives/primitive_arguments.h"

namespace {

// x < y for two values of the same type other than real.
bool same_type_less(char letter, const Term& x, const Term& y) {
  switch (letter) {
    case kTypeText:
      return compare_bytes(text_payload(x.get()), text_payload(y.get())) < 0;
    case kTypeData:
      return compare_data(x.get(), y.get()) < 0;
    case kTypeInteger: {
      IntegerText a = integer_text(x);
      IntegerText b = integer_text(y);
      if (a.non_negative() != b.non_negative()) return b.non_negative();
      int c = compare_magnitudes(a.magnitude(), b.magnitude());
      return a.non_negative() ? c < 0 : c > 0;
    }
    default:
      return fraction_less(x, y);
  }
}

// Machine-word numerals straight from the argument nodes; empty for the general path.
Term small_order(bool want_less, Node* x, Node* y) {
  int64_t a, b;
  if (read_small_integer(x, &a) && read_small_integer(y, &b)) {
    return truth(want_less ? a < b : a >= b);
  }
  return Term();
}

// A node with itself, and machine-word numerals, which in normal form are equal exactly when
// their values are; empty for the general path.
Term small_equality(bool want_same, Node* x, Node* y) {
  if (x == y) return truth(want_same);
  int64_t a, b;
  if (read_small_integer(x, &a) && read_small_integer(y, &b)) return truth(want_same == (a == b));
  return Term();
}

Term order(bool want_less, Term application) {
  Node* m = application.get();
  if (Term quick = small_order(want_less, pair_right(pair_left(m)), pair_right(m))) return quick;
  TwoArgs args = two_args(application);
  char tx = type_letter(args.x);
  char ty = type_letter(args.y);
  if (tx == kTypeOther || ty == kTypeOther) return z_leaf();
  if (tx != ty) return truth(want_less ? tx < ty : tx >= ty);
  if (tx == kTypeReal) {
    double a = real_value(args.x);
    double b = real_value(args.y);
    return truth(want_less ? a < b : a >= b);
  }
  bool is_less = same_type_less(tx, args.x, args.y);
  return truth(want_less ? is_less : !is_less);
}

// Equality of two values; Z when either has no type and they are not the same node.
Term equality(bool want_same, Term application) {
  Node* m = application.get();
  if (Term quick = small_equality(want_same, pair_right(pair_left(m)), pair_right(m))) {
    return quick;
  }
  TwoArgs args = two_args(application);
  char tx = type_letter(args.x);
  char ty = type_letter(args.y);
  if (tx == kTypeOther || ty == kTypeOther) return z_leaf();
  bool equal = false;
  if (tx == ty) {
    switch (tx) {
      case kTypeText:
        equal = text_payload(args.x.get()) == text_payload(args.y.get());
        break;
      case kTypeData:
        equal = compare_data(args.x.get(), args.y.get()) == 0;
        break;
      case kTypeInteger:
        equal = integer_text(args.x).text == integer_text(args.y).text;
        break;
      case kTypeReal:
        equal = real_value(args.x) == real_value(args.y);
        break;
      default:
        equal = fraction_equal(args.x, args.y);
    }
  }
  return truth(want_same ? equal : !equal);
}

template <bool want_less>
Term quick_order(Node* x, Node* y) {
  return small_order(want_less, x, y);
}

template <bool want_same>
Term quick_equality(Node* x, Node* y) {
  return small_equality(want_same, x, y);
}

const BuiltinRow kRows[] = {
    {"less", 2, less, quick_order<true>}, {"gteq", 2, gteq, quick_order<false>},
    {"same", 2, same, quick_equality<true>}, {"diff", 2, diff, quick_equality<false>},
    {"cmpr", 2, cmpr}, {"buck", 1, buck}, {"wave", 1, wave},
};

}  // namespace

Term less(Term application) { return order(true, std::move(application)); }
Term gteq(Term application) { return order(false, std::move(application)); }
Term same(Term application) { return equality(true, std::move(application)); }
Term diff(Term application) { return equality(false, std::move(application)); }

Term cmpr(Term application) {
  TwoArgs args = two_args(application);
  return int64_to_numeral(-structural_compare(args.x, args.y));
}

Term buck(Term application) {
  Term x = only_arg(application);
  switch (type_letter(x)) {
    case kTypeText: {
      std::string_view payload = text_payload(x.get());
      if (payload.empty()) return z_leaf();
      std::string bytes;
      append_data_char(bytes, static_cast<unsigned char>(payload[0]));
      return make_data(bytes);
    }
    case kTypeReal:
      return truth(int64_t(real_pattern(x)) >= 0);
    case kTypeInteger:
      return truth(integer_sign(x));
    case kTypeFraction:
      return truth(fraction_is_non_negative(x));
    case kTypeData:
      if (is_empty_data(x.get())) return z_leaf();
      return data_halves(x).left;
    default:
      return z_leaf();
  }
}

Term wave(Term application) {
  Term x = only_arg(application);
  switch (type_letter(x)) {
    case kTypeText: {
      std::string_view payload = text_payload(x.get());
      if (payload.empty()) return z_leaf();
      return make_text(payload.substr(1));
    }
    case kTypeReal:
      return make_real(-real_value(x));
    case kTypeInteger:
      return numeral_leaf(negate_numeral(integer_text(x).text));
    case kTypeFraction:
      return fraction_negation(x);
    case kTypeData:
      if (is_empty_data(x.get())) return z_leaf();
      return data_halves(x).right;
    default:
      return z_leaf();
  }
}

std::span<const BuiltinRow> comparison_rows() { return kRows; }
