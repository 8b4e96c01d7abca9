#include "primitives/integer_arithmetic.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "diagnostics/memory_budget.h"
#include "numbers/digits.h"
#include "numbers/numerals.h"

namespace {

constexpr uint32_t kLimbBase = 1000000000;  // 9 decimal digits per limb
constexpr size_t kLimbDigits = 9;

bool non_negative(std::string_view numeral) { return numeral.size() < 2 || numeral[0] != '0'; }

std::string_view magnitude(std::string_view numeral) {
  size_t start = 0;
  while (start + 1 < numeral.size() && numeral[start] == '0') ++start;
  return numeral.substr(start);
}

// Little-endian limbs of a magnitude written most significant digit first.
std::vector<uint32_t> to_limbs(std::string_view digits) {
  std::vector<uint32_t> limbs;
  limbs.reserve(digits.size() / kLimbDigits + 1);
  size_t end = digits.size();
  while (end > 0) {
    size_t start = end >= kLimbDigits ? end - kLimbDigits : 0;
    uint32_t v = 0;
    for (size_t i = start; i < end; ++i) v = v * 10 + uint32_t(digits[i] - '0');
    limbs.push_back(v);
    end = start;
  }
  return limbs;
}

}  // namespace

int compare_magnitudes(std::string_view a, std::string_view b) {
  while (!a.empty() && a[0] == '0') a.remove_prefix(1);
  while (!b.empty() && b[0] == '0') b.remove_prefix(1);
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  int c = a.empty() ? 0 : std::memcmp(a.data(), b.data(), a.size());
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::string multiply_numerals(std::string_view x, std::string_view y) {
  bool negative = non_negative(x) != non_negative(y);
  std::vector<uint32_t> a = to_limbs(magnitude(x));
  std::vector<uint32_t> b = to_limbs(magnitude(y));
  std::vector<uint32_t> product(a.size() + b.size() + 1, 0);
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] == 0) continue;
    uint64_t carry = 0;
    size_t j = 0;
    for (; j < b.size(); ++j) {
      uint64_t cur = uint64_t(product[i + j]) + uint64_t(a[i]) * b[j] + carry;
      product[i + j] = uint32_t(cur % kLimbBase);
      carry = cur / kLimbBase;
    }
    for (size_t k = i + j; carry != 0; ++k) {
      uint64_t cur = uint64_t(product[k]) + carry;
      product[k] = uint32_t(cur % kLimbBase);
      carry = cur / kLimbBase;
    }
  }
  size_t top = product.size();
  while (top > 0 && product[top - 1] == 0) --top;
  if (top == 0) return "0";
  std::string out = negative ? "0" : "";
  out.reserve(out.size() + top * kLimbDigits);
  out += std::to_string(product[top - 1]);
  char limb[kLimbDigits];
  for (size_t i = top - 1; i-- > 0;) {
    uint32_t v = product[i];
    for (size_t d = kLimbDigits; d-- > 0;) {
      limb[d] = char('0' + v % 10);
      v /= 10;
    }
    out.append(limb, kLimbDigits);
  }
  return out;
}

std::string floor_divide_numerals(std::string_view x, std::string_view y) {
  bool same_sign = non_negative(x) == non_negative(y);
  std::string q = digits_to_numeral(
      divide_digits(same_sign, numeral_to_digits(x), numeral_to_digits(y)));
  return same_sign ? q : negate_numeral(q);
}

std::string remainder_numerals(std::string_view x, std::string_view y) {
  std::string divisor = numeral_to_digits(y);
  std::string r = remainder_digits(numeral_to_digits(x), divisor);
  if (non_negative(x) == non_negative(y) || is_zero_digits(r)) return digits_to_numeral(r);
  return digits_to_numeral(subtract_digits(divisor, r));
}

std::string power_numerals(std::string_view x, std::string_view y) {
  if (!non_negative(y)) return "0";
  std::string exponent = numeral_to_digits(y);
  if (is_zero_digits(exponent)) return "1";
  bool odd = !is_even_digits(exponent);
  std::string base = numeral_to_digits(x);
  if (!is_zero_digits(base) && !is_one_digits(base)) {
    // A magnitude of 2 or more raised to e has more than e * log10(2) digits: a power that
    // could never be held is reported at once rather than computed for ever.
    uint64_t e = 0;
    for (size_t i = exponent.size(); i-- > 0;)
      e = size_sum(size_product(e, 10), uint64_t(exponent[i] - '0'));
    require_memory(e / 10 * 3);
  }
  std::string m = digits_to_numeral(power_digits(base, exponent));
  return (non_negative(x) || !odd) ? m : negate_numeral(m);
}
