#include "numbers/reals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "numbers/bit_lists.h"
#include "numbers/bits.h"
#include "numbers/fractions.h"

namespace {

uint64_t pattern_of(double d) {
  uint64_t p;
  std::memcpy(&p, &d, 8);
  return p;
}

double double_of(uint64_t p) {
  double d;
  std::memcpy(&d, &p, 8);
  return d;
}

std::string fraction_text(double d) { return std::string(leaf_text(real_to_fraction(make_real(d)))); }

TEST(RealLeaves, NineBytesSpaceThenLittleEndian) {
  Term r = make_real(2.0);
  std::string_view text = leaf_text(r);
  ASSERT_EQ(text.size(), 9u);
  EXPECT_EQ(text_length(r), 9u);
  EXPECT_EQ(text[0], ' ');
  EXPECT_EQ(static_cast<unsigned char>(text[8]), 0x40);  // most significant byte last
  EXPECT_EQ(static_cast<unsigned char>(text[1]), 0x00);
  EXPECT_EQ(real_value(r), 2.0);
  // Any bit pattern survives, NaN payloads and minus zero included.
  for (uint64_t p : {0x8000000000000000ull, 0x7FF0000000000001ull, 0xFFF8000000000123ull})
    EXPECT_EQ(real_pattern(make_real(double_of(p))), p);
}

TEST(RealEdges, KnownValues) {
  EXPECT_EQ(fraction_text(2.0), "004");
  EXPECT_EQ(fraction_text(-0.0), "00");
  EXPECT_EQ(fraction_text(std::numeric_limits<double>::infinity()), "00");
  EXPECT_EQ(fraction_text(-std::numeric_limits<double>::infinity()), "00");
  EXPECT_EQ(fraction_text(std::nan("")), "00");
  EXPECT_EQ(fraction_text(0.0), "00");  // plus zero is the fraction zero, not "000" (minus one)
  EXPECT_EQ(fraction_text(-1.0), "000");
  EXPECT_EQ(fraction_text(1.0), "001");
  EXPECT_EQ(pattern_of(real_value(fraction_to_real(make_leaf("00")))), 0u);
  EXPECT_EQ(real_value(fraction_to_real(make_leaf("004"))), 2.0);
  EXPECT_EQ(real_value(fraction_to_real(make_leaf("000"))), -1.0);
  EXPECT_EQ(real_value(integer_to_real(make_leaf("05"))), -5.0);
  EXPECT_EQ(pattern_of(real_value(integer_to_real(make_leaf("0")))), 0u);
}

TEST(RealEdges, OutOfRangeFractionsAreTheMarkedNaN) {
  EXPECT_EQ(pattern_of(fraction_value_to_double(power_of_two_value(1024))), 0x7FF9000000000000ull);
  EXPECT_EQ(pattern_of(fraction_value_to_double(power_of_two_value(-1075))), 0x7FF9000000000000ull);
  EXPECT_EQ(fraction_value_to_double(power_of_two_value(1023)), std::ldexp(1.0, 1023));
  EXPECT_EQ(fraction_value_to_double(power_of_two_value(-1074)), std::ldexp(1.0, -1074));
  EXPECT_EQ(pattern_of(fraction_value_to_double(negate_fraction_value(power_of_two_value(2000)))),
            0x7FF9000000000000ull);
}

TEST(RealEdges, ExtraDigitsTruncateTowardZero) {
  std::string one = power_of_two_value(0);
  std::string tiny = power_of_two_value(-53);
  std::string almost_two = subtract_fraction_values(power_of_two_value(1), tiny);
  EXPECT_EQ(fraction_value_to_double(add_fraction_values(one, tiny)), 1.0);
  EXPECT_EQ(fraction_value_to_double(almost_two), std::nextafter(2.0, 0.0));
  EXPECT_EQ(fraction_value_to_double(negate_fraction_value(almost_two)), -std::nextafter(2.0, 0.0));
  // Subnormal range: digits below 2^-1074 are dropped.
  std::string sub = add_fraction_values(power_of_two_value(-1070), power_of_two_value(-1080));
  EXPECT_EQ(fraction_value_to_double(sub), std::ldexp(1.0, -1070));
}

TEST(RealRoundTrip, EveryFinitePatternComesBackExactly) {
  std::mt19937_64 rng(41);
  std::vector<uint64_t> patterns = {1, 0x000FFFFFFFFFFFFFull, 0x0010000000000000ull,
                                    0x7FEFFFFFFFFFFFFFull, 0x3FF0000000000001ull,
                                    0x8000000000000001ull, 0xFFEFFFFFFFFFFFFFull};
  for (int i = 0; i < 20000; ++i) {
    uint64_t p = rng();
    if (i % 4 == 0) p &= 0x800FFFFFFFFFFFFFull;  // subnormals
    patterns.push_back(p);
  }
  int through_terms = 0;
  for (uint64_t p : patterns) {
    if (((p >> 52) & 0x7FF) == 0x7FF || (p & ~0x8000000000000000ull) == 0) continue;
    double d = double_of(p);
    std::string u = double_to_fraction_value(d);
    ASSERT_EQ(u.back() != '\0', true);
    ASSERT_EQ(fraction_sign(u), d > 0);
    ASSERT_EQ(pattern_of(fraction_value_to_double(u)), p) << std::hex << p;
    if (through_terms++ % 10 == 0) {
      Term f = real_to_fraction(make_real(d));
      ASSERT_EQ(pattern_of(real_value(fraction_to_real(f))), p);
      ASSERT_EQ(pattern_of(real_value(fraction_to_real(bits_to_bit_list(term_bits(f))))), p);
    }
  }
}

TEST(RealRoundTrip, DigitsSitAtTheirWeights) {
  // An independent placement: m * 2^e with a 53-bit m, digit by digit.
  std::mt19937_64 rng(42);
  for (int i = 0; i < 2000; ++i) {
    uint64_t m = (rng() >> 11) | (uint64_t(1) << 52);
    int e = int(rng() % 1900) - 1000;  // m * 2^e stays a normal double
    std::string u(1, '\x01');
    for (int b = 0; b < 53; ++b)
      if ((m >> b) & 1) set_bit(u, fraction_digit_index(e + b), true);
    ASSERT_EQ(double_to_fraction_value(std::ldexp(double(m), e)), u);
    ASSERT_EQ(fraction_exponent(u), e + 52);
  }
}

TEST(IntegerToReal, EveryIntegerForm) {
  EXPECT_EQ(real_value(integer_to_real(make_leaf("123456789"))), 123456789.0);
  EXPECT_EQ(real_value(integer_to_real(make_leaf("K"))), 0.0);
  EXPECT_EQ(real_value(integer_to_real(bits_to_bit_list(numeral_to_bits("021")))), -21.0);
  EXPECT_EQ(real_value(integer_to_real(make_leaf("1" + std::string(400, '0')))),
            std::numeric_limits<double>::infinity());
  EXPECT_EQ(real_value(integer_to_real(make_leaf("01" + std::string(400, '0')))),
            -std::numeric_limits<double>::infinity());
}

TEST(RealAssertions, NotARealLeaf) {
  EXPECT_DEATH(real_value(make_leaf("5")), "ASSERTION FAILED:b:9230");
  EXPECT_DEATH(real_to_fraction(make_leaf("x")), "ASSERTION FAILED:b:9230");
}

}  // namespace
