// The machine-word path of the arithmetic and comparison primitives against the digit-string
// kernels: the same numerals, byte for byte, on both sides of the 18-character limit.
#include "primitives/small_integers.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "primitives/arithmetic.h"
#include "primitives/comparison.h"
#include "primitives/integer_arithmetic.h"
#include "primitives/primitive_rows.h"
#include "numbers/numerals.h"
#include "tests/primitives/primitive_calls.h"

namespace {

std::string numeral(int64_t v) { return int64_to_numeral_text(v); }

std::vector<std::string> sample_numerals() {
  std::vector<std::string> out = {"0", "1", "01", "9", "09", "10", "010", "999999999999999999",
                                  "099999999999999999", "99999999999999999",
                                  "1000000000000000000", "01000000000000000000",
                                  "9223372036854775807", "09223372036854775808", "3037000499",
                                  "03037000500", "4294967296"};
  std::mt19937_64 rng(14);
  for (int i = 0; i < 300; ++i) {
    int digits = 1 + int(rng() % 19);
    int64_t v = int64_t(rng() % 1000000000000000000ull);
    for (int d = 19; d > digits; --d) v /= 10;
    out.push_back(numeral(rng() % 2 ? v : -v));
  }
  return out;
}

std::string via(BuiltinFunction f, const std::string& x, const std::string& y) {
  return show(call(f, lf(x), lf(y)));
}

TEST(SmallIntegers, ReadsExactlyTheShortIntegerNumerals) {
  int64_t v = 7;
  EXPECT_TRUE(read_small_integer(lf("0").get(), &v));
  EXPECT_EQ(v, 0);
  EXPECT_TRUE(read_small_integer(lf("042").get(), &v));
  EXPECT_EQ(v, -42);
  EXPECT_TRUE(read_small_integer(lf("999999999999999999").get(), &v));
  EXPECT_EQ(v, 999999999999999999);
  for (const char* no : {"00", "001", "1000000000000000000", "0100000000000000000", "12a", "0x",
                         "K", "[1]"}) {
    EXPECT_FALSE(read_small_integer(lf(no).get(), &v)) << no;
  }
  // Every numeral of up to 18 characters is read, whatever its digits.
  for (const std::string& text : sample_numerals()) {
    if (text.size() > 18) continue;
    ASSERT_TRUE(read_small_integer(lf(text).get(), &v)) << text;
    EXPECT_EQ(numeral(v), text);
  }
  for (int d = 0; d < 100; ++d) {
    std::string text = std::to_string(d + 100).substr(1) + "7";  // every digit pair
    if (text[0] == '0') text = "1" + text;
    ASSERT_TRUE(read_small_integer(lf(text).get(), &v)) << text;
    EXPECT_EQ(numeral(v), text);
  }
  EXPECT_EQ(show(small_integer_leaf(INT64_MIN)), "09223372036854775808");
  EXPECT_EQ(show(small_integer_leaf(-5)), "05");
  EXPECT_EQ(show(small_integer_leaf(0)), "0");
  // Every digit count, at its edges.
  for (int64_t p = 1; p <= INT64_MAX / 10; p *= 10) {
    for (int64_t v : {p - 1, p, p + 1, 10 * p - 1}) {
      EXPECT_EQ(show(small_integer_leaf(v)), numeral(v));
      EXPECT_EQ(show(small_integer_leaf(-v)), numeral(-v));
    }
  }
  EXPECT_EQ(show(small_integer_leaf(INT64_MAX)), "9223372036854775807");
}

TEST(SmallIntegers, ArithmeticMatchesTheDigitKernels) {
  std::vector<std::string> values = sample_numerals();
  for (size_t i = 0; i < values.size(); ++i) {
    for (size_t j = i; j < values.size(); j += 7) {
      const std::string& x = values[i];
      const std::string& y = values[j];
      SCOPED_TRACE(x + " and " + y);
      EXPECT_EQ(via(plus, x, y), add_numerals(x, y));
      EXPECT_EQ(via(dash, y, x), subtract_numerals(y, x));
      EXPECT_EQ(via(mult, x, y), multiply_numerals(x, y));
      if (y != "0") {
        EXPECT_EQ(via(over, x, y), floor_divide_numerals(x, y));
        EXPECT_EQ(via(cent, x, y), remainder_numerals(x, y));
      }
    }
  }
  EXPECT_EQ(via(over, "5", "0"), "Z");
  EXPECT_EQ(via(cent, "05", "0"), "Z");
}

TEST(SmallIntegers, ComparisonsMatchTheValues) {
  std::vector<std::string> values = sample_numerals();
  auto value_less = [](const std::string& a, const std::string& b) {
    bool na = a.size() > 1 && a[0] == '0', nb = b.size() > 1 && b[0] == '0';
    std::string ma = na ? a.substr(1) : a, mb = nb ? b.substr(1) : b;
    int c = ma.size() != mb.size() ? (ma.size() < mb.size() ? -1 : 1) : ma.compare(mb);
    if (na != nb) return na;
    return na ? c > 0 : c < 0;
  };
  for (size_t i = 0; i < values.size(); i += 3) {
    for (size_t j = 0; j < values.size(); j += 5) {
      const std::string& x = values[i];
      const std::string& y = values[j];
      SCOPED_TRACE(x + " and " + y);
      bool lt = value_less(x, y);
      EXPECT_EQ(via(less, x, y), lt ? "K" : "H");
      EXPECT_EQ(via(gteq, x, y), lt ? "H" : "K");
      EXPECT_EQ(via(same, x, y), x == y ? "K" : "H");
      EXPECT_EQ(via(diff, x, y), x == y ? "H" : "K");
    }
  }
}

}  // namespace

namespace {

// The quick two-argument forms answer exactly as the full built-ins do, or leave the call to
// them; on numerals of both lengths, non-numbers and a node with itself.
TEST(SmallIntegers, QuickPairFormsAgreeWithTheFullBuiltins) {
  std::vector<Term> values;
  for (const std::string& v : sample_numerals()) values.push_back(lf(v));
  for (const char* other : {"K", "[1]", "0010", "12345678901234567890", "01234567890123456789"}) {
    values.push_back(lf(other));
  }
  values.push_back(txt("ab"));
  values.push_back(dbl(2.5));
  values.push_back(apply(lf("V"), lf("1")));
  int quick = 0;
  for (const BuiltinRow& row : primitive_rows()) {
    if (!row.pair_function) continue;
    EXPECT_EQ(row.arity, 2) << row.name;
    for (size_t i = 0; i < values.size(); i += 3) {
      for (size_t j = 0; j < values.size(); j += 5) {
        for (const Term* y : {&values[j], &values[i]}) {
          Term answer = row.pair_function(values[i].get(), y->get());
          if (!answer) continue;
          ++quick;
          EXPECT_EQ(show(answer), show(call(row.function, values[i], *y)))
              << row.name << " " << show(values[i]) << " " << show(*y);
        }
      }
    }
  }
  EXPECT_GT(quick, 1000);
}

}  // namespace
