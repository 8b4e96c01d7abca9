// Digit-string arithmetic, least significant digit first, schoolbook throughout.
#include "numbers/digits.h"

#include <algorithm>
#include <array>
#include <vector>

#include "diagnostics/diagnostics.h"

char digit_at(size_t position, std::string_view digits) {
  return position < digits.size() ? digits[position] : '0';
}

int digit_value_at(size_t position, std::string_view digits) {
  return digit_at(position, digits) - '0';
}

std::string add_digits(std::string_view a, std::string_view b) {
  size_t n = std::max(a.size(), b.size());
  std::string sum;
  sum.reserve(n + 1);
  int carry = 0;
  for (size_t i = 0; i < n; ++i) {
    int s = digit_value_at(i, a) + digit_value_at(i, b) + carry;
    sum.push_back(char('0' + s % 10));
    carry = s >= 10 ? 1 : 0;
  }
  if (carry) sum.push_back('1');
  return sum;
}

namespace {

// a -= b in place, digit by digit with a borrow; a must be at least b. Kept free of branches on
// the digits, since the borrow is as good as random.
void subtract_in_place(std::string& a, std::string_view b) {
  int borrow = 0;
  size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    int d = (a[i] - b[i]) - borrow;
    borrow = d < 0;
    a[i] = char('0' + d + (10 & -borrow));
  }
  for (size_t i = common; i < a.size(); ++i) {
    int d = (a[i] - '0') - borrow;
    borrow = d < 0;
    a[i] = char('0' + d + (10 & -borrow));
  }
}

}  // namespace

std::string subtract_digits(std::string_view a, std::string_view b) {
  core_assert(at_least_digits(a, b), 2505);
  std::string difference(a);  // the result has the length of a
  subtract_in_place(difference, b);
  return difference;
}

std::string multiply_digit(std::string_view a, int d) {
  core_assert(d >= 0, 2575);
  core_assert(d <= 9, 2576);
  std::string product;
  product.reserve(a.size() + 1);
  int carry = 0;
  for (char x : a) {
    carry += d * (x - '0');
    product.push_back(char('0' + carry % 10));
    carry /= 10;
  }
  if (carry) product.push_back(char('0' + carry));
  return product;
}

std::string shift_digits(std::string_view a, int64_t n) {
  if (n >= 0) {
    std::string shifted(size_t(n), '0');
    shifted.append(a);
    return shifted;
  }
  uint64_t drop = uint64_t(-(n + 1)) + 1;  // -n without overflow at the most negative n
  if (drop >= a.size()) return "0";
  return std::string(a.substr(size_t(drop)));
}

std::string multiply_digits(std::string_view a, std::string_view b) {
  if (b.size() < a.size()) std::swap(a, b);  // a is the multiplier: one pass per digit
  if (a.empty()) return "";
  // Accumulating each shifted partial product in place gives the digits of the running sum
  // without copying it once per multiplier digit.
  std::vector<unsigned> acc(a.size() + b.size() + 1, 0);
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned d = unsigned(a[i] - '0');
    if (d == 0) continue;
    unsigned carry = 0;
    size_t j = 0;
    for (; j < b.size(); ++j) {
      unsigned s = acc[i + j] + d * unsigned(b[j] - '0') + carry;
      acc[i + j] = s % 10;
      carry = s / 10;
    }
    for (size_t k = i + j; carry != 0; ++k) {
      unsigned s = acc[k] + carry;
      acc[k] = s % 10;
      carry = s / 10;
    }
  }
  // High zeros are dropped so that repeated squaring does not double them.
  size_t length = acc.size();
  while (length > 0 && acc[length - 1] == 0) --length;
  std::string product(length, '0');
  for (size_t i = 0; i < length; ++i) product[i] = char('0' + acc[i]);
  return product;
}

namespace {

// Drops high zeros so that the running remainder stays as short as its value.
void drop_high_zeros(std::string& digits) {
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
}

// One long-division pass, most significant digit first. Quotient digits go to `quotient`
// (most significant first) when it is given; the remainder is returned.
std::string long_division(std::string_view a, std::string_view b, std::string* quotient) {
  // The multiples b*1 .. b*9 are the trial products of every step.
  std::array<std::string, 10> multiples;
  for (int k = 0; k <= 9; ++k) multiples[k] = multiply_digit(b, k);
  std::string r;
  for (size_t i = a.size(); i-- > 0;) {
    r.insert(r.begin(), digit_at(i, a));
    int digit = 9;
    for (int k = 1; k <= 9; ++k) {
      if (less_digits(r, multiples[k])) {
        digit = k - 1;
        break;
      }
    }
    if (quotient) quotient->push_back(char('0' + digit));
    subtract_in_place(r, multiples[digit]);  // r is at least b*digit by the choice of digit
    drop_high_zeros(r);
  }
  return r;
}

}  // namespace

std::string divide_digits(bool round_down, std::string_view a, std::string_view b) {
  std::string q;
  q.reserve(a.size());
  std::string r = long_division(a, b, &q);
  std::reverse(q.begin(), q.end());
  if (!round_down && !is_zero_digits(r)) return add_digits("1", q);
  return q;
}

std::string remainder_digits(std::string_view a, std::string_view b) {
  return long_division(a, b, nullptr);
}

namespace {

// -1, 0 or 1 as a is less than, equal to or greater than b.
int compare_digits(std::string_view a, std::string_view b) {
  for (size_t i = std::max(a.size(), b.size()); i-- > 0;) {
    char x = digit_at(i, a);
    char y = digit_at(i, b);
    if (x != y) return x < y ? -1 : 1;
  }
  return 0;
}

}  // namespace

bool less_digits(std::string_view a, std::string_view b) { return compare_digits(a, b) < 0; }

bool at_least_digits(std::string_view a, std::string_view b) { return compare_digits(a, b) >= 0; }

bool is_zero_digits(std::string_view a) {
  return std::all_of(a.begin(), a.end(), [](char c) { return c == '0'; });
}

bool is_one_digits(std::string_view a) {
  return !a.empty() && a[0] == '1' && is_zero_digits(a.substr(1));
}

bool is_even_digits(std::string_view a) {
  if (a.empty()) return true;
  char c = a[0];
  return c == '0' || c == '2' || c == '4' || c == '6' || c == '8';
}

std::string halve_digits(std::string_view a) { return divide_digits(true, a, "2"); }

std::string power_digits(std::string_view base, std::string_view exponent) {
  // Recursion depth is the number of halvings of the exponent: its bit length.
  if (is_zero_digits(exponent)) return "1";
  if (is_one_digits(exponent)) return std::string(base);
  std::string half = power_digits(base, halve_digits(exponent));
  std::string square = multiply_digits(half, half);
  if (is_even_digits(exponent)) return square;
  return multiply_digits(base, square);
}

std::string numeral_to_digits(std::string_view numeral) {
  size_t start = 0;
  while (start < numeral.size() && numeral[start] == '0') ++start;
  return std::string(numeral.rbegin(), numeral.rend() - std::ptrdiff_t(start));
}

std::string digits_to_numeral(std::string_view digits) {
  size_t end = digits.size();
  while (end > 0 && digits[end - 1] == '0') --end;
  if (end == 0) return "0";
  return std::string(std::make_reverse_iterator(digits.begin() + std::ptrdiff_t(end)),
                     digits.rend());
}
