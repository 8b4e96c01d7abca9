// Integer readings of number leaves, the leaf `K` and bit lists.
#include "eval/integer_values.h"

#include "numbers/bit_lists.h"
#include "numbers/bits.h"
#include "diagnostics/diagnostics.h"
#include "numbers/fractions.h"
#include "numbers/numerals.h"

namespace {

bool is_digit(unsigned char c) { return c >= '0' && c <= '9'; }

bool starts_fraction(std::string_view text) {
  return text.size() >= 2 && text[0] == '0' && text[1] == '0';
}

// Low 64 bits of a decimal magnitude: arithmetic modulo 2^64 keeps exactly those.
uint64_t low64_of_decimal(std::string_view digits) {
  uint64_t m = 0;
  for (char c : digits) m = m * 10 + uint64_t(c - '0');
  return m;
}

// Bits 2 to 65 of a bit string: the low 64 bits of an integer's magnitude.
uint64_t magnitude_bits(std::string_view bits) {
  uint64_t m = 0;
  for (int i = 0; i < 64; ++i)
    if (bit_at(bits, uint64_t(i) + 2)) m |= uint64_t(1) << i;
  return m;
}

bool is_integer_numeral_leaf(const Term& t) {
  if (!is_digit(first_char(t))) return false;
  return !starts_fraction(leaf_text(t));
}

}  // namespace

bool is_integer_value(const Term& t) {
  if (is_leaf(t)) {
    unsigned char first = first_char(t);
    return first == 'K' || is_integer_numeral_leaf(t);
  }
  std::string bits = term_bits(t);
  return !bits.empty() && bit_at(bits, 0);
}

bool integer_sign(const Term& t) {
  if (is_leaf(t)) {
    std::string_view text = leaf_text(t);
    if (starts_fraction(text)) return fraction_sign(numeral_fraction_bits(text));
    return text == "0" || text.empty() || text[0] != '0';
  }
  std::string bits = term_bits(t);
  return bits.empty() || bit_at(bits, 1);
}

Term integer_magnitude(const Term& t) {
  if (is_leaf(t)) {
    std::string_view text = leaf_text(t);
    if (starts_fraction(text)) {
      std::string value = numeral_fraction_bits(text);
      set_bit(value, 0, true);
      return value_to_fraction(value);
    }
    if (text.size() > 1 && text[0] == '0') return make_leaf(text.substr(1));
    return t;
  }
  Term head = left_of(t);
  core_assert(is_pair(head), 4734);
  core_assert(leaf_is(pair_left(head.get()), "J"), 4735);
  std::string bits = term_bits(t);
  core_assert(!bits.empty(), 4738);
  set_bit(bits, 1, true);
  return bits_to_term(std::move(bits));
}

std::string read_bits(const Term& t) {
  bool number;
  if (is_leaf(t)) {
    unsigned char first = first_char(t);
    number = first == 'K' || is_digit(first);
  } else {
    const Node* head = pair_left(t.get());
    number = node_is_pair(head) && leaf_is(pair_left(head), "J") &&
             (leaf_is(pair_right(head), "H") || leaf_is(pair_right(head), "K"));
  }
  core_assert(number, 5025);
  return term_bits(t);
}

int64_t to_int64(const Term& t) {
  if (is_integer_numeral_leaf(t)) {
    std::string_view text = leaf_text(t);
    bool negative = text.size() > 1 && text[0] == '0';
    uint64_t m = low64_of_decimal(negative ? text.substr(1) : text);
    return int64_t(negative ? 0 - m : m);
  }
  if (is_pair(t)) {
    // Taking the magnitude only sets the sign bit, so the bits above it are read directly.
    std::string bits = read_bits(t);
    core_assert(!bits.empty(), 4738);
    uint64_t m = magnitude_bits(bits);
    return int64_t(bit_at(bits, 1) ? m : 0 - m);
  }
  bool non_negative = integer_sign(t);
  uint64_t m = magnitude_bits(read_bits(integer_magnitude(t)));
  return int64_t(non_negative ? m : 0 - m);
}

std::string integer_numeral(const Term& t) {
  if (is_digit(first_char(t))) return std::string(leaf_text(t));
  return integer_bits_to_numeral(read_bits(t));
}

bool is_non_negative_integer(const Term& t) {
  if (is_leaf(t)) {
    unsigned char first = first_char(t);
    return first == 'K' || leaf_is(t, "0") || (is_digit(first) && first != '0');
  }
  std::string bits = term_bits(t);
  return !bits.empty() && bit_at(bits, 0) && bit_at(bits, 1);
}

bool is_zero_integer(const Term& t) {
  if (is_leaf(t)) return first_char(t) == 'K' || leaf_is(t, "0");
  std::string bits = term_bits(t);
  return !bits.empty() && bit_at(bits, 0) && is_zero_bits(shift_bits_down(bits, 2));
}

uint64_t magnitude_low64(const Term& t) {
  if (is_integer_numeral_leaf(t)) {
    std::string_view text = leaf_text(t);
    return low64_of_decimal(text[0] == '0' ? text.substr(1) : text);
  }
  return magnitude_bits(read_bits(t));
}
