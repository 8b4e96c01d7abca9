#include "primitives/integer_arithmetic.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "numbers/limbs.h"
#include "diagnostics/memory_budget.h"
#include "numbers/digits.h"
#include "numbers/numerals.h"

namespace {

bool non_negative(std::string_view numeral) { return numeral.size() < 2 || numeral[0] != '0'; }

std::string_view magnitude(std::string_view numeral) {
  size_t start = 0;
  while (start + 1 < numeral.size() && numeral[start] == '0') ++start;
  return numeral.substr(start);
}

// The numeral of a magnitude in limbs with its sign, written straight into one string.
std::string limbs_numeral(bool negative, const Limbs& a) {
  if (a.empty()) return "0";
  size_t sign = negative ? 1 : 0;
  std::string out(sign + limbs_digit_count(a), '0');
  write_limbs_text(out.data() + sign, a);
  return out;
}

// The number leaf of a signed magnitude in limbs, its digits written where the leaf keeps them.
Term limbs_leaf(bool negative, const Limbs& a) {
  if (a.empty()) return make_leaf(std::string_view("0"));
  size_t sign = negative ? 1 : 0;
  // The first byte only marks a number leaf; the sign zero or the top digit overwrites it.
  Term t = allocate_leaf('0', sign + limbs_digit_count(a));
  char* text = leaf_chars(t.get());
  write_limbs_text(text + sign, a);
  return t;
}

// The last long division. Programs often take the quotient and the remainder of the same two
// numbers one after the other; the second then costs a comparison of the texts.
struct LastDivision {
  std::string dividend, divisor;
  Limbs quotient, remainder;
};
constexpr size_t kRememberedDigits = kNewtonLimbs * kLimbDigits;

// Quotient and remainder of two magnitudes (digits without sign, divisor non-zero).
void divide_magnitudes(std::string_view x, std::string_view y, Limbs& q, Limbs& r) {
  static LastDivision last;
  bool remember = y.size() >= kRememberedDigits;
  if (remember && last.divisor == y && last.dividend == x) {
    q = last.quotient;
    r = last.remainder;
    return;
  }
  q = divide_limbs(text_to_limbs(x), text_to_limbs(y), &r);
  if (remember) last = LastDivision{std::string(x), std::string(y), q, r};
}

// Floor quotient and the never-negative remainder of two numerals (y non-zero).
void floor_divide(std::string_view x, std::string_view y, Limbs* quotient, Limbs* remainder) {
  Limbs q, r;
  divide_magnitudes(magnitude(x), magnitude(y), q, r);
  if (non_negative(x) != non_negative(y) && !r.empty()) {
    if (quotient) q = add_limbs(q, Limbs{1});
    r = subtract_limbs(text_to_limbs(magnitude(y)), r);
  }
  if (quotient) *quotient = std::move(q);
  if (remainder) *remainder = std::move(r);
}

// Whether base^exponent is too long for the machine's memory: building a numeral of D digits
// takes about 6 D bytes at its peak (the last square's transform, the numeral and its leaf),
// so a power past an eighth of the memory in digits is refused instead of exhausting it. The
// memory is what a result may take (the fuzz build's budget there).
bool power_too_large(std::string_view base, std::string_view exponent) {
  const double memory = double(memory_limit());
  if (exponent.size() > 18) return true;  // the base is at least 2 here
  // Digits of the base in floating point: its length and its leading digits.
  size_t lead = std::min<size_t>(base.size(), 15);
  double leading = std::strtod(std::string(base.substr(0, lead)).c_str(), nullptr);
  double log_base = std::log10(leading) + double(base.size() - lead);
  return std::strtod(std::string(exponent).c_str(), nullptr) * log_base * 8 > memory;
}

}  // namespace

int compare_magnitudes(std::string_view a, std::string_view b) {
  while (!a.empty() && a[0] == '0') a.remove_prefix(1);
  while (!b.empty() && b[0] == '0') b.remove_prefix(1);
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  int c = a.empty() ? 0 : std::memcmp(a.data(), b.data(), a.size());
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

namespace {

Limbs product_magnitude(std::string_view x, std::string_view y) {
  return multiply_limbs(text_to_limbs(magnitude(x)), text_to_limbs(magnitude(y)));
}

// The magnitude of x^y, or false when y is negative or small cases answer directly (*special
// then holds the numeral) or the power would not fit in memory (*special empty).
bool power_magnitude(std::string_view x, std::string_view y, bool* negative, Limbs* power,
                     std::string* special) {
  if (!non_negative(y)) {
    *special = "0";
    return false;
  }
  std::string_view e = magnitude(y);
  if (e == "0") {
    *special = "1";
    return false;
  }
  bool odd = (e.back() - '0') % 2 == 1;
  *negative = !non_negative(x) && odd;
  std::string_view m = magnitude(x);
  while (m.size() > 1 && m[0] == '0') m.remove_prefix(1);
  if (m == "0" || m == "1") {
    *special = m == "0" ? "0" : (*negative ? "01" : "1");
    return false;
  }
  if (power_too_large(m, e)) {
    special->clear();
    return false;
  }
  uint64_t exponent = 0;
  for (char c : e) exponent = exponent * 10 + uint64_t(c - '0');
  *power = power_limbs(text_to_limbs(m), exponent);
  return true;
}

}  // namespace

std::string multiply_numerals(std::string_view x, std::string_view y) {
  return limbs_numeral(non_negative(x) != non_negative(y), product_magnitude(x, y));
}

std::string floor_divide_numerals(std::string_view x, std::string_view y) {
  Limbs q;
  floor_divide(x, y, &q, nullptr);
  return limbs_numeral(non_negative(x) != non_negative(y), q);
}

std::string remainder_numerals(std::string_view x, std::string_view y) {
  Limbs r;
  floor_divide(x, y, nullptr, &r);
  return limbs_numeral(false, r);
}

std::string power_numerals(std::string_view x, std::string_view y) {
  bool negative = false;
  Limbs power;
  std::string special;
  if (!power_magnitude(x, y, &negative, &power, &special)) return special;
  return limbs_numeral(negative, power);
}

Term product_leaf(std::string_view x, std::string_view y) {
  return limbs_leaf(non_negative(x) != non_negative(y), product_magnitude(x, y));
}

Term floor_quotient_leaf(std::string_view x, std::string_view y) {
  Limbs q;
  floor_divide(x, y, &q, nullptr);
  return limbs_leaf(non_negative(x) != non_negative(y), q);
}

Term remainder_leaf(std::string_view x, std::string_view y) {
  Limbs r;
  floor_divide(x, y, nullptr, &r);
  return limbs_leaf(false, r);
}

Term power_leaf(std::string_view x, std::string_view y) {
  bool negative = false;
  Limbs power;
  std::string special;
  if (power_magnitude(x, y, &negative, &power, &special)) return limbs_leaf(negative, power);
  if (special.empty()) return Term();
  return make_leaf(special);
}
