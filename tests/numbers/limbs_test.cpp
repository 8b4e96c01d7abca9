// The limb kernels against two references: the digit-string algorithms (digits.h) for every
// size they finish quickly, and GMP for the long operands, on random and extreme operands
// around each threshold.
#include "numbers/limbs.h"

#include <gmp.h>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "numbers/bits.h"
#include "numbers/digits.h"
#include "numbers/fractions.h"

namespace {

std::string text_of(const Limbs& a) {
  std::string s;
  append_limbs_text(s, a);
  return s;
}

// Numeral (most significant first) from a digit-string result.
std::string oracle(const std::string& digits) { return digits_to_numeral(digits); }

std::string random_text(std::mt19937_64& rng, size_t digits) {
  if (digits == 0) return "0";
  std::string s(digits, '0');
  for (char& c : s) c = char('0' + rng() % 10);
  if (s[0] == '0') s[0] = char('1' + rng() % 9);
  return s;
}

// Random, all nines, a power of ten, one less than it, and a sparse number, of that length.
std::vector<std::string> operands_of_length(std::mt19937_64& rng, size_t digits) {
  if (digits == 0) return {"0"};
  std::string sparse(digits, '0');
  sparse[0] = '1';
  sparse[digits / 2] = '7';
  return {random_text(rng, digits), std::string(digits, '9'), "1" + std::string(digits - 1, '0'),
          sparse, random_text(rng, digits)};
}

struct Gmp {
  mpz_t v;
  explicit Gmp(const std::string& text) { mpz_init_set_str(v, text.c_str(), 10); }
  Gmp() { mpz_init(v); }
  ~Gmp() { mpz_clear(v); }
  std::string text() const {
    std::vector<char> buffer(mpz_sizeinbase(v, 10) + 2);
    mpz_get_str(buffer.data(), 10, v);
    return buffer.data();
  }
};

std::string gmp_product(const std::string& x, const std::string& y) {
  Gmp a(x), b(y), p;
  mpz_mul(p.v, a.v, b.v);
  return p.text();
}

void gmp_divide(const std::string& x, const std::string& y, std::string& q, std::string& r) {
  Gmp a(x), b(y), gq, gr;
  mpz_fdiv_qr(gq.v, gr.v, a.v, b.v);
  q = gq.text();
  r = gr.text();
}

TEST(LimbText, RoundTripAtEveryLengthAroundTheLimbWidth) {
  std::mt19937_64 rng(1);
  for (size_t digits = 0; digits <= 80; ++digits) {
    for (const std::string& s : operands_of_length(rng, digits)) {
      Limbs a = text_to_limbs(s);
      EXPECT_EQ(text_of(a), s);
      EXPECT_EQ(limbs_digit_count(a), s == "0" ? 0 : s.size());
      EXPECT_TRUE(a.empty() || a.back() != 0) << s;
    }
  }
  EXPECT_TRUE(text_to_limbs("").empty());
  EXPECT_TRUE(text_to_limbs("0000").empty());
  EXPECT_EQ(text_of(text_to_limbs("000000000000000000000123")), "123");
  EXPECT_EQ(text_of(text_to_limbs("1000000000000000000")), "1000000000000000000");
  EXPECT_EQ(text_to_limbs("1000000000000000000"), (Limbs{0, 1}));
}

TEST(LimbLinear, AddSubtractCompareAgainstDigits) {
  std::mt19937_64 rng(2);
  for (size_t la : {0, 1, 17, 18, 19, 36, 37, 100}) {
    for (size_t lb : {0, 1, 18, 19, 37, 100}) {
      for (const std::string& x : operands_of_length(rng, la)) {
        for (const std::string& y : operands_of_length(rng, lb)) {
          Limbs a = text_to_limbs(x), b = text_to_limbs(y);
          std::string dx = numeral_to_digits(x), dy = numeral_to_digits(y);
          ASSERT_EQ(text_of(add_limbs(a, b)), oracle(add_digits(dx, dy)));
          int c = compare_limbs(a, b);
          ASSERT_EQ(c < 0, less_digits(dx, dy)) << x << " " << y;
          ASSERT_EQ(c == 0, x == y);
          if (c >= 0) {
            ASSERT_EQ(text_of(subtract_limbs(a, b)), oracle(subtract_digits(dx, dy)));
          }
        }
      }
    }
  }
}

TEST(LimbProducts, AgainstDigitsAcrossSchoolbookAndKaratsuba) {
  std::mt19937_64 rng(3);
  const size_t k = kKaratsubaLimbs * kLimbDigits;
  std::vector<size_t> lengths = {0, 1, 9, 18, 19, 35, 36, 37, k - 19, k - 1, k, k + 1, k + 18,
                                 2 * k + 5, 5 * k};
  for (size_t la : lengths) {
    for (size_t lb : lengths) {
      if (la > lb) continue;
      for (const std::string& x : operands_of_length(rng, la)) {
        const std::string y = random_text(rng, lb);
        std::string expected = oracle(multiply_digits(numeral_to_digits(x), numeral_to_digits(y)));
        ASSERT_EQ(text_of(multiply_limbs(text_to_limbs(x), text_to_limbs(y))), expected)
            << la << " x " << lb;
      }
    }
  }
}

TEST(LimbProducts, SquaresAndAllNines) {
  std::mt19937_64 rng(4);
  for (size_t limbs : {kKaratsubaLimbs - 1, kKaratsubaLimbs, 3 * kKaratsubaLimbs + 1,
                       kTransformLimbs - 1, kTransformLimbs, 2 * kTransformLimbs + 3}) {
    for (const std::string& x : operands_of_length(rng, limbs * kLimbDigits)) {
      Limbs a = text_to_limbs(x);
      ASSERT_EQ(text_of(multiply_limbs(a, a)), gmp_product(x, x)) << limbs;
    }
  }
}

TEST(LimbProducts, AgainstGmpAroundTheTransform) {
  std::mt19937_64 rng(5);
  const size_t t = kTransformLimbs * kLimbDigits;
  for (size_t la : {t - 1, t, t + 1, 3 * t}) {
    for (size_t lb : {size_t(1), size_t(40), t - 18, t, t + 17, 4 * t}) {
      for (const std::string& x : operands_of_length(rng, la)) {
        std::string y = random_text(rng, lb);
        ASSERT_EQ(text_of(multiply_limbs(text_to_limbs(x), text_to_limbs(y))), gmp_product(x, y))
            << la << " x " << lb;
      }
    }
  }
}

TEST(LimbProducts, OneMillionDigits) {
  std::mt19937_64 rng(6);
  std::string x = random_text(rng, 1000000), y(1000000, '9');
  EXPECT_EQ(text_of(multiply_limbs(text_to_limbs(x), text_to_limbs(y))), gmp_product(x, y));
}

TEST(LimbQuotients, AgainstDigitsForShortDivisors) {
  std::mt19937_64 rng(7);
  for (size_t la : {0, 1, 18, 19, 40, 200, 700}) {
    for (size_t lb : {1, 2, 17, 18, 19, 36, 37, 90, 200}) {
      for (const std::string& x : operands_of_length(rng, la)) {
        for (const std::string& y : operands_of_length(rng, lb)) {
          std::string dx = numeral_to_digits(x), dy = numeral_to_digits(y);
          Limbs r;
          Limbs q = divide_limbs(text_to_limbs(x), text_to_limbs(y), &r);
          ASSERT_EQ(text_of(q), oracle(divide_digits(true, dx, dy))) << x << " / " << y;
          ASSERT_EQ(text_of(r), oracle(remainder_digits(dx, dy))) << x << " % " << y;
        }
      }
    }
  }
}

TEST(LimbQuotients, AgainstGmpAroundTheNewtonThreshold) {
  std::mt19937_64 rng(8);
  const size_t n = kNewtonLimbs * kLimbDigits;
  for (size_t lb : {n - 18, n - 1, n, n + 1, 2 * n + 7, 9 * n}) {
    for (size_t lq : {size_t(1), size_t(18), n - 18, n, n + 18, 2 * n, 5 * n + 3}) {
      for (const std::string& y : operands_of_length(rng, lb)) {
        std::string x = random_text(rng, lb + lq);
        std::string q, r;
        gmp_divide(x, y, q, r);
        Limbs lr;
        Limbs lq_limbs = divide_limbs(text_to_limbs(x), text_to_limbs(y), &lr);
        ASSERT_EQ(text_of(lq_limbs), q) << lb << " " << lq;
        ASSERT_EQ(text_of(lr), r) << lb << " " << lq;
      }
    }
  }
}

TEST(LimbQuotients, ExactMultiplesAndOneBelow) {
  // Products q b and q b - 1 are where an estimate one too large or too small shows.
  std::mt19937_64 rng(9);
  for (size_t lb : {size_t(40), kNewtonLimbs * kLimbDigits + 5, 4 * kNewtonLimbs * kLimbDigits}) {
    for (const std::string& y : operands_of_length(rng, lb)) {
      Limbs b = text_to_limbs(y);
      Limbs q = text_to_limbs(random_text(rng, lb + 11));
      Limbs x = multiply_limbs(q, b);
      Limbs r;
      EXPECT_EQ(divide_limbs(x, b, &r), q);
      EXPECT_TRUE(r.empty());
      Limbs below = subtract_limbs(x, Limbs{1});
      EXPECT_EQ(divide_limbs(below, b, &r), subtract_limbs(q, Limbs{1}));
      EXPECT_EQ(r, subtract_limbs(b, Limbs{1}));
    }
  }
}

TEST(LimbQuotients, OneMillionDigitsByHalfAMillion) {
  std::mt19937_64 rng(10);
  std::string x = random_text(rng, 1000000), y = random_text(rng, 500000);
  std::string q, r;
  gmp_divide(x, y, q, r);
  Limbs lr;
  EXPECT_EQ(text_of(divide_limbs(text_to_limbs(x), text_to_limbs(y), &lr)), q);
  EXPECT_EQ(text_of(lr), r);
}

TEST(LimbOneWord, ProductsAndQuotientsByAMachineWord) {
  std::mt19937_64 rng(11);
  for (uint64_t k : {1ull, 7ull, 10ull, 999999999999999999ull, 123456789ull}) {
    for (const std::string& x : operands_of_length(rng, 100)) {
      std::string ks = std::to_string(k);
      EXPECT_EQ(text_of(multiply_limb(text_to_limbs(x), k)), gmp_product(x, ks));
      Limbs a = text_to_limbs(x);
      uint64_t r = divide_limb_in_place(a, k);
      std::string q, rs;
      gmp_divide(x, ks, q, rs);
      EXPECT_EQ(text_of(a), q);
      EXPECT_EQ(std::to_string(r), rs);
    }
  }
}

TEST(LimbPowers, AgainstDigitsAndGmp) {
  for (uint64_t base : {2ull, 3ull, 10ull, 99ull, 1000000000000000000ull}) {
    for (uint64_t e : {0ull, 1ull, 2ull, 17ull, 64ull, 1000ull}) {
      std::string b = std::to_string(base);
      std::string expected = e <= 64 ? oracle(power_digits(numeral_to_digits(b),
                                                           numeral_to_digits(std::to_string(e))))
                                     : "";
      Gmp g;
      mpz_ui_pow_ui(g.v, base, e);
      std::string got = text_of(power_limbs(text_to_limbs(b), e));
      if (e == 0) got = "1";  // one is the limb vector {1}
      EXPECT_EQ(got, g.text()) << base << "^" << e;
      if (!expected.empty()) {
        EXPECT_EQ(got, expected);
      }
    }
  }
  Gmp g;
  mpz_ui_pow_ui(g.v, 3, 300000);
  EXPECT_EQ(text_of(power_limbs(Limbs{3}, 300000)), g.text());
}

}  // namespace

namespace {

// Conversions of bit strings to numerals run on limbs too; GMP reads the same bytes.
TEST(NumeralBits, LongBinaryValuesToDecimalAgainstGmp) {
  std::mt19937_64 rng(12);
  for (size_t bytes : {1, 7, 255, 256, 257, 1024, 4096, 40000}) {
    std::string bits(bytes, '\0');
    for (char& c : bits) c = char(rng());
    bits.back() = char(bits.back() | 0x80);
    bits[0] = char(bits[0] | 0x03);  // a positive integer: 4 |n| + 3
    Gmp g;
    mpz_import(g.v, bits.size(), -1, 1, 0, 0, bits.data());
    mpz_fdiv_q_2exp(g.v, g.v, 2);
    ASSERT_EQ(bits_to_numeral(bits), g.text()) << bytes;
    ASSERT_EQ(numeral_to_bits(g.text()), bits) << bytes;
  }
}

TEST(NumeralBits, PowersOfTwoFarBeyondTheOldBound) {
  // 2^m as a binary fraction is "00" followed by the digits of 4^m.
  for (int64_t m : {int64_t(1) << 18, (int64_t(1) << 18) + 1, int64_t(1) << 20}) {
    Gmp g;
    mpz_ui_pow_ui(g.v, 4, uint64_t(m));
    EXPECT_EQ(value_to_fraction_numeral(power_of_two_value(m)), "00" + g.text()) << m;
  }
  EXPECT_EQ(value_to_fraction_numeral(power_of_two_value(kMaxPowerOfTwo / 1024)).size(),
            2 + size_t(double(kMaxPowerOfTwo / 1024) * 2 * 0.30102999566398120) + 1);
}

}  // namespace

namespace {

std::string gmp_bytes(const Gmp& g) {
  std::string bytes((mpz_sizeinbase(g.v, 2) + 7) / 8, '\0');
  size_t written = 0;
  mpz_export(bytes.data(), &written, -1, 1, 0, 0, g.v);
  bytes.resize(written);
  return bytes;
}

std::string random_bytes(std::mt19937_64& rng, size_t n) {
  std::string s(n, '\0');
  for (char& c : s) c = char(rng());
  if (n) s.back() = char(s.back() | 1);
  return s;
}

TEST(BitProducts, AgainstGmpAroundTheTransform) {
  std::mt19937_64 rng(13);
  for (size_t la : {1, 8, 9, 1399, 1400, 1407, 5000}) {
    for (size_t lb : {1, 1400, 1401, 20000}) {
      std::string a = random_bytes(rng, la), b = random_bytes(rng, lb);
      if (la == 5000) a.assign(la, '\xff');  // every bit set: the largest coefficients
      Gmp x, y, p;
      mpz_import(x.v, a.size(), -1, 1, 0, 0, a.data());
      mpz_import(y.v, b.size(), -1, 1, 0, 0, b.data());
      mpz_mul(p.v, x.v, y.v);
      ASSERT_EQ(multiply_bits(a, b), gmp_bytes(p)) << la << " x " << lb;
    }
  }
  EXPECT_EQ(multiply_bits(std::string(3000, '\0'), "\x05"), "");
}

TEST(BitProducts, LongRemaindersAgainstGmp) {
  std::mt19937_64 rng(15);
  for (size_t la : {64, 65, 300, 6000}) {
    for (size_t lb : {1, 8, 9, 64, 65, 299, 3000}) {
      std::string a = random_bytes(rng, la), b = random_bytes(rng, lb);
      Gmp x, y, r;
      mpz_import(x.v, a.size(), -1, 1, 0, 0, a.data());
      mpz_import(y.v, b.size(), -1, 1, 0, 0, b.data());
      mpz_mod(r.v, x.v, y.v);
      ASSERT_EQ(remainder_bits(a, b), gmp_bytes(r)) << la << " % " << lb;
    }
  }
  std::string b = random_bytes(rng, 100);
  EXPECT_EQ(remainder_bits(multiply_bits(b, random_bytes(rng, 200)), b), "");
}

TEST(NumeralBits, LongNumeralsToBinaryAgainstGmp) {
  std::mt19937_64 rng(14);
  for (size_t digits : {1800, 1801, 3600, 3601, 100000}) {
    std::string text = random_text(rng, digits);
    if (digits == 3601) text.assign(digits, '9');
    Gmp g(text);
    mpz_mul_2exp(g.v, g.v, 2);
    mpz_add_ui(g.v, g.v, 3);  // the integer tag: 4 |n| + 3
    ASSERT_EQ(numeral_to_bits(text), gmp_bytes(g)) << digits;
  }
}

}  // namespace
