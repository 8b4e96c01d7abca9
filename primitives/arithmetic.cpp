#include "primitives/arithmetic.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <string>

#include "diagnostics/memory_budget.h"
#include "eval/integer_values.h"
#include "numbers/bits.h"
#include "numbers/digits.h"
#include "numbers/fractions.h"
#include "numbers/numerals.h"
#include "numbers/reals.h"
#include "numbers/text_products.h"
#include "primitives/integer_arithmetic.h"
#include "primitives/small_integers.h"
#include "primitives/primitive_arguments.h"
#include "terms/data_values.h"

namespace {

enum class Op { plus, dash, mult, over, cent, powa };

// Brackets of a cut data text must still pair up; a cut inside a group would make a data
// leaf that no later halving can read.
bool balanced(std::string_view bytes) {
  int64_t depth = 0;
  for (char c : bytes) {
    if (c == '[') ++depth;
    if (c == ']' && --depth < 0) return false;
  }
  return depth == 0;
}

Term bytes_value(char letter, std::string_view bytes) {
  if (letter == kTypeText) return make_text(bytes);
  if (!balanced(bytes)) return z_leaf();
  return make_data(bytes);
}

// A repetition longer than the machine's memory can never be built: the count is an error
// value then, not a stop of the process for want of memory.
bool repetition_fits(size_t length, uint64_t n) {
  return length == 0 || n <= memory_limit() / length;
}

// x repeated n times (n >= 1) by doubling what is written so far, in the result's own
// storage, so that building a repetition takes no more memory than the repetition.
void repeat_into(char* out, std::string_view x, uint64_t n) {
  const uint64_t total = x.size() * n;
  std::memcpy(out, x.data(), x.size());
  for (uint64_t filled = x.size(); filled < total;) {
    uint64_t k = filled < total - filled ? filled : total - filled;
    std::memcpy(out + filled, out, k);
    filled += k;
  }
}

Term repetition(char letter, std::string_view x, uint64_t n) {
  // Repeating x keeps its brackets paired exactly when x has them paired.
  if (letter != 'a' && !balanced(x)) return z_leaf();
  const uint64_t total = x.size() * n;
  if (letter == 'a') return make_text_in_place(total, [&](char* out) { repeat_into(out, x, n); });
  Term t = allocate_leaf('[', total + 2);
  char* text = leaf_chars(t.get());
  repeat_into(text + 1, x, n);
  text[total + 1] = ']';
  return t;
}

// `-` and `*` on a text or data value with an integer count.
Term cut_or_repeat(Op op, const Term& x, char tx, const Term& y) {
  int64_t n = to_int64(y);
  std::string flat;
  std::string_view bytes;
  if (tx == kTypeText) {
    bytes = text_payload(x.get());
  } else {
    flat = flatten(x);
    bytes = flat;
  }
  if (op == Op::mult) {
    if (n < 0) return z_leaf();
    if (n == 0) return bytes_value(tx, "");
    if (!repetition_fits(bytes.size(), uint64_t(n))) return z_leaf();
    return repetition(tx, bytes, uint64_t(n));
  }
  uint64_t size = bytes.size();
  uint64_t count = n < 0 ? uint64_t(0) - uint64_t(n) : uint64_t(n);
  if (count > size) return z_leaf();
  if (count == size) return bytes_value(tx, "");
  if (n >= 1) return bytes_value(tx, bytes.substr(count));
  return bytes_value(tx, bytes.substr(0, size - count));
}

// A long numeral times a factor of a few digits, straight from text to the product's leaf;
// empty when the operands are not of that shape.
Term text_product(const IntegerText& a, const IntegerText& b) {
  std::string_view x = a.magnitude();
  std::string_view y = b.magnitude();
  if (x.size() < y.size()) std::swap(x, y);
  if (y.size() > kTextFactorDigits || x.size() <= 18 || y == "0") return Term();
  uint64_t k = 0;
  for (char c : y) k = k * 10 + uint64_t(c - '0');
  return text_product_leaf(a.non_negative() != b.non_negative(), x, k);
}

Term integer_op(Op op, const Term& x, const Term& y) {
  IntegerText a = integer_text(x);
  IntegerText b = integer_text(y);
  if (op == Op::mult) {
    if (Term r = text_product(a, b)) return r;
  }
  switch (op) {
    case Op::plus:
      return numeral_leaf(add_numerals(a.text, b.text));
    case Op::dash:
      return numeral_leaf(subtract_numerals(a.text, b.text));
    case Op::mult:
      return product_leaf(a.text, b.text);
    case Op::over:
      if (is_zero_integer(y)) return z_leaf();
      return floor_quotient_leaf(a.text, b.text);
    case Op::cent:
      if (is_zero_integer(y)) return z_leaf();
      return remainder_leaf(a.text, b.text);
    case Op::powa: {
      Term power = power_leaf(a.text, b.text);
      if (!power) return z_leaf();  // a numeral larger than memory
      return power;
    }
  }
  return z_leaf();
}

Term real_op(Op op, double a, double b) {
  switch (op) {
    case Op::plus:
      return make_real(a + b);
    case Op::dash:
      return make_real(a - b);
    case Op::mult:
      return make_real(a * b);
    case Op::over:
      return make_real(a / b);
    case Op::cent:
      return make_real(std::fmod(a, b));
    case Op::powa:
      return make_real(std::pow(a, b));
  }
  return z_leaf();
}

Term fraction_op(Op op, const Term& x, const Term& y) {
  switch (op) {
    case Op::plus:
      return fraction_sum(x, y);
    case Op::dash:
      return fraction_difference(x, y);
    case Op::mult:
      return fraction_product(x, y);
    case Op::cent:
      if (is_zero_fraction_value(fraction_bits(y))) return z_leaf();
      return fraction_remainder(x, y);
    case Op::over:
    case Op::powa:
      break;
  }
  return z_leaf();
}

// Index of the one digit bit of a value that is plus or minus a power of two; 0 otherwise.
uint64_t single_digit_bit(std::string_view value) {
  int64_t top = top_bit(value);
  if (top < 1) return 0;
  for (size_t i = 0; i < value.size(); ++i) {
    unsigned char byte = static_cast<unsigned char>(value[i]);
    if (i == 0) byte &= 0xFE;  // the sign bit
    if (uint64_t(i) == uint64_t(top) / 8) byte &= static_cast<unsigned char>(~(1u << (top % 8)));
    if (byte != 0) return 0;
  }
  return uint64_t(top);
}

// A binary-fraction base to an integer exponent, exact: powers of two by their single digit,
// other bases by repeated multiplication. A negative exponent of a base that is not a power of
// two has no finite binary fraction and gives Z; so do exponents beyond 64 bits unless the
// base is plus or minus one.
Term fraction_power(const Term& base, const Term& exponent) {
  std::string u = fraction_bits(base);
  IntegerText e = integer_text(exponent);
  std::string_view digits = e.magnitude();
  bool odd = (digits.back() - '0') % 2 == 1;
  if (digits == "0") return value_to_fraction(power_fraction_value(u, 0));
  if (is_zero_fraction_value(u)) return make_leaf("00");
  bool negative_base = !fraction_sign(u);
  bool fits = compare_magnitudes(digits, "9223372036854775807") <= 0;
  if (single_digit_bit(u) != 0) {
    int64_t weight = fraction_exponent(u);
    int64_t m = fits ? to_int64(exponent) : 0;
    int64_t k = 0;
    if (weight != 0 && (!fits || __builtin_mul_overflow(weight, m, &k))) return z_leaf();
    Term r = power_of_two(k);
    if (!r) return z_leaf();
    return (negative_base && odd) ? fraction_negation(r) : r;
  }
  if (!e.non_negative() || !fits) return z_leaf();
  uint64_t n = uint64_t(to_int64(exponent));
  if (fraction_power_too_large(u, n)) return z_leaf();  // as for integer powers
  return value_to_fraction(power_fraction_value(u, n));
}

// Two numerals that fit a machine word, computed without the digit-string kernels. Empty when
// the general path must answer (a zero divisor, a product beyond 64 bits, a power).
Term small_integer_op(Op op, int64_t a, int64_t b) {
  switch (op) {
    case Op::plus:
      return small_integer_leaf(a + b);
    case Op::dash:
      return small_integer_leaf(a - b);
    case Op::mult: {
      int64_t r;
      if (__builtin_mul_overflow(a, b, &r)) return Term();
      return small_integer_leaf(r);
    }
    case Op::over:
    case Op::cent: {
      if (b == 0) return Term();
      int64_t q = a / b;
      if ((a % b != 0) && ((a < 0) != (b < 0))) --q;  // toward minus infinity
      if (op == Op::over) return small_integer_leaf(q);
      int64_t r = a - b * q;
      return small_integer_leaf(r < 0 ? -r : r);
    }
    case Op::powa:
      break;
  }
  return Term();
}

// Machine-word numerals straight from the argument nodes; empty for the general path.
Term small_operands(Op op, Node* x, Node* y) {
  int64_t a, b;
  if (read_small_integer(x, &a) && read_small_integer(y, &b)) return small_integer_op(op, a, b);
  return Term();
}

Term arithmetic(Op op, Term application) {
  Node* m = application.get();
  if (Term r = small_operands(op, pair_right(pair_left(m)), pair_right(m))) return r;
  TwoArgs args = two_args(application);
  const Term& x = args.x;
  const Term& y = args.y;
  char tx = type_letter(x);
  char ty = type_letter(y);
  if (tx == kTypeOther || ty == kTypeOther) return z_leaf();
  if ((op == Op::dash || op == Op::mult) && (tx == kTypeText || tx == kTypeData) &&
      ty == kTypeInteger)
    return cut_or_repeat(op, x, tx, y);
  if (tx == ty) {
    switch (tx) {
      case kTypeText:
        if (op != Op::plus) return z_leaf();
        return make_text(std::string(text_payload(x.get())).append(text_payload(y.get())));
      case kTypeData:
        if (op == Op::plus) return make_data(flatten(x).append(flatten(y)));
        if (op == Op::dash) return make_pair(x, y);
        return z_leaf();
      case kTypeInteger:
        return integer_op(op, x, y);
      case kTypeReal:
        return real_op(op, real_value(x), real_value(y));
      default:
        return fraction_op(op, x, y);
    }
  }
  if (tx == kTypeText || ty == kTypeText || tx == kTypeData || ty == kTypeData) return z_leaf();
  if (tx == kTypeReal || ty == kTypeReal || op == Op::over)
    return real_op(op, real_operand(x, tx), real_operand(y, ty));
  // One integer and one binary fraction.
  if (op == Op::powa) return tx == kTypeFraction ? fraction_power(x, y) : z_leaf();
  return fraction_op(op, tx == kTypeInteger ? integer_to_fraction(x) : x,
                     ty == kTypeInteger ? integer_to_fraction(y) : y);
}

template <Op op>
Term small_pair(Node* x, Node* y) {
  return small_operands(op, x, y);
}

const BuiltinRow kRows[] = {
    {"plus", 2, plus, small_pair<Op::plus>}, {"dash", 2, dash, small_pair<Op::dash>},
    {"mult", 2, mult, small_pair<Op::mult>}, {"over", 2, over, small_pair<Op::over>},
    {"cent", 2, cent, small_pair<Op::cent>}, {"powa", 2, powa},
};

}  // namespace

Term plus(Term application) { return arithmetic(Op::plus, std::move(application)); }
Term dash(Term application) { return arithmetic(Op::dash, std::move(application)); }
Term mult(Term application) { return arithmetic(Op::mult, std::move(application)); }
Term over(Term application) { return arithmetic(Op::over, std::move(application)); }
Term cent(Term application) { return arithmetic(Op::cent, std::move(application)); }
Term powa(Term application) { return arithmetic(Op::powa, std::move(application)); }

std::span<const BuiltinRow> arithmetic_rows() { return kRows; }
