// Signed numerals: sign handling on top of the digit-string arithmetic.
#include "numbers/numerals.h"

#include <algorithm>

#include "diagnostics/diagnostics.h"
#include "numbers/digits.h"

bool is_integer_numeral(std::string_view text) {
  if (text.empty()) return false;
  char first = text[0];
  if (first < '0' || first > '9') return false;
  return first != '0' || text.size() < 2 || text[1] != '0';
}

bool is_non_negative(std::string_view numeral) {
  core_assert(is_integer_numeral(numeral), 2847);
  return numeral == "0" || numeral[0] != '0';
}

bool is_negative_numeral(std::string_view numeral) {
  core_assert(!numeral.empty(), 2808);
  core_assert(numeral != "0", 2809);
  return numeral[0] == '0';
}

std::string with_sign(bool non_negative, std::string_view magnitude) {
  core_assert(!magnitude.empty(), 2785);
  if (magnitude == "0") return "0";
  core_assert(magnitude[0] != '0', 2787);
  if (non_negative) return std::string(magnitude);
  std::string negative = "0";
  negative.append(magnitude);
  return negative;
}

std::string negate_numeral(std::string_view numeral) {
  core_assert(is_integer_numeral(numeral), 2847);
  if (numeral == "0") return "0";
  if (numeral[0] == '0') return std::string(numeral.substr(1));
  std::string negative = "0";
  negative.append(numeral);
  return negative;
}

std::string add_numerals(std::string_view x, std::string_view y) {
  bool s = is_non_negative(x);
  bool t = is_non_negative(y);
  std::string a = numeral_to_digits(x);
  std::string b = numeral_to_digits(y);
  if (s == t) return with_sign(s, digits_to_numeral(add_digits(b, a)));
  if (less_digits(a, b)) return with_sign(t, digits_to_numeral(subtract_digits(b, a)));
  return with_sign(s, digits_to_numeral(subtract_digits(a, b)));
}

std::string subtract_numerals(std::string_view x, std::string_view y) {
  return add_numerals(x, negate_numeral(y));
}

std::string halve_numeral(std::string_view numeral) {
  if (numeral == "0") return "0";
  return with_sign(is_non_negative(numeral),
                   digits_to_numeral(halve_digits(numeral_to_digits(numeral))));
}

Term numeral_leaf(std::string_view numeral) {
  core_assert(is_integer_numeral(numeral), 2847);
  return make_leaf(numeral);
}

std::string int64_to_numeral_text(int64_t value) {
  if (value == 0) return "0";
  // The magnitude as unsigned, so that the most negative value has one too.
  uint64_t magnitude = value < 0 ? 0 - uint64_t(value) : uint64_t(value);
  std::string text;
  while (magnitude != 0) {
    text.push_back(char('0' + magnitude % 10));
    magnitude /= 10;
  }
  if (value < 0) text.push_back('0');
  std::reverse(text.begin(), text.end());
  return text;
}

Term int64_to_numeral(int64_t value) { return make_leaf(int64_to_numeral_text(value)); }
