#include "primitives/primitive_arguments.h"

#include <cstring>

#include "numbers/bit_lists.h"
#include "terms/data_values.h"
#include "diagnostics/diagnostics.h"
#include "numbers/fractions.h"
#include "eval/integer_values.h"
#include "numbers/reals.h"

namespace {

bool is_number_list(const Node* n, char first_bit) {
  const Node* left = pair_left(n);
  if (node_is_leaf(left) || !leaf_is(pair_left(left), "J")) return false;
  const Node* bit = pair_right(left);
  if (!leaf_is(bit, first_bit == 'K' ? "K" : "H")) return false;
  // The whole list must read as a number, or a later reading would misread its tail.
  return !term_bits(Term::share(const_cast<Node*>(n))).empty();
}

}  // namespace

char type_letter(const Node* n) {
  if (node_is_leaf(n)) {
    const char* s = leaf_chars(n);
    switch (s[0]) {
      case ' ':
        return kTypeReal;
      case '(':
        return kTypeText;
      case '[':
        return kTypeData;
      default:
        break;
    }
    if (s[0] >= '0' && s[0] <= '9') {
      return (s[0] == '0' && s[1] == '0') ? kTypeFraction : kTypeInteger;
    }
    return kTypeOther;
  }
  if (is_data_value(n)) return kTypeData;
  if (is_number_list(n, 'K')) return kTypeInteger;
  if (is_number_list(n, 'H')) return kTypeFraction;
  return kTypeOther;
}

const char* type_name(char letter) {
  switch (letter) {
    case kTypeText:
      return "[post]";
    case kTypeReal:
      return "[real]";
    case kTypeInteger:
      return "[hint]";
    case kTypeFraction:
      return "[numb]";
    case kTypeData:
      return "[zits]";
    default:
      return "[void]";
  }
}

// Fresh leaves each time: results are distinct nodes, as the identity test sees them.
Term k_leaf() { return allocate_short_leaf('K', 1); }
Term h_leaf() { return allocate_short_leaf('H', 1); }
Term z_leaf() { return allocate_short_leaf('Z', 1); }
Term i_leaf() { return allocate_short_leaf('I', 1); }

Term only_arg(const Term& application) { return right_of(application); }

TwoArgs two_args(const Term& application) {
  return {right_of(left_of(application)), right_of(application)};
}

ThreeArgs three_args(const Term& application) {
  Term inner = left_of(application);
  return {right_of(left_of(inner)), right_of(inner), right_of(application)};
}

IntegerText integer_text(const Term& t) {
  core_assert(is_integer_value(t), 4801);
  IntegerText r;
  if (node_is_leaf(t.get()) && first_char(t) != 'K') {
    r.text = leaf_text(t);
  } else {
    r.owned = integer_numeral(t);
    r.text = r.owned;
  }
  return r;
}

double real_operand(const Term& t, char letter) {
  switch (letter) {
    case kTypeReal:
      return real_value(t);
    case kTypeInteger:
      return numeral_to_double(integer_text(t).text);
    case kTypeFraction:
      return fraction_value_to_double(fraction_bits(t));
    default:
      fatal("truecast");
  }
}

int compare_bytes(std::string_view a, std::string_view b) {
  size_t common = a.size() < b.size() ? a.size() : b.size();
  int c = common ? std::memcmp(a.data(), b.data(), common) : 0;
  if (c != 0) return c < 0 ? -1 : 1;
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

void append_data_char(std::string& out, unsigned char b) {
  switch (b) {
    case '\n':
      out += "[p]";
      break;
    case '[':
      out += "[q]";
      break;
    case ']':
      out += "[r]";
      break;
    default:
      out += char(b);
  }
}

bool is_bare_k(const Node* n) { return leaf_is(n, "K"); }
