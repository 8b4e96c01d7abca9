#include "numbers/bits.h"

#include <gtest/gtest.h>

#include "numbers/bit_lists.h"
#include "numbers/numerals.h"
#include "tests/numbers/wide_numbers.h"

namespace {

std::string bytes(std::initializer_list<int> list) {
  std::string s;
  for (int b : list) s.push_back(char(b));
  return s;
}

UWide bits_wide(std::string_view bits) {
  UWide v = 0;
  for (size_t i = bits.size(); i-- > 0;) v = (v << 8) | static_cast<unsigned char>(bits[i]);
  return v;
}

std::string wide_bits(UWide v) {
  std::string s;
  while (v) {
    s.push_back(char(uint8_t(v)));
    v >>= 8;
  }
  return s;
}

// The tagged encoding of an integer: 4|n| + 3 when n >= 0, 4|n| + 1 when negative.
UWide tagged(Wide n) { return n >= 0 ? 4 * UWide(n) + 3 : 4 * (UWide(0) - UWide(n)) + 1; }

TEST(BitHelpers, SingleBits) {
  std::string s;
  set_bit(s, 17, true);
  EXPECT_EQ(s.size(), 3u);
  EXPECT_TRUE(bit_at(s, 17));
  EXPECT_FALSE(bit_at(s, 16));
  EXPECT_FALSE(bit_at(s, 900));
  EXPECT_EQ(bit_count(s), 24u);
  EXPECT_EQ(top_bit(s), 17);
  EXPECT_EQ(bit_length(s), 18u);
  set_bit(s, 17, false);
  EXPECT_TRUE(is_zero_bits(s));
  EXPECT_EQ(top_bit(s), -1);
  EXPECT_EQ(trim_bits(s), "");
  EXPECT_EQ(zero_bits(9), std::string(2, '\0'));
  EXPECT_EQ(increment_bits(bytes({0xFF})), bytes({0x00, 0x01}));
  EXPECT_EQ(increment_bits(""), bytes({0x01}));
}

TEST(BitHelpers, ArithmeticAgreesWithWideArithmetic) {
  std::mt19937_64 rng(31);
  for (int round = 0; round < 4000; ++round) {
    UWide a = random_magnitude(rng, 62);
    UWide b = random_magnitude(rng, 62);
    uint64_t k = uint64_t(random_magnitude(rng, 62));
    std::string sa = wide_bits(a), sb = wide_bits(b);
    ASSERT_EQ(bits_wide(add_bits(sa, sb)), a + b);
    ASSERT_EQ(bits_wide(add_small(sa, k)), a + k);
    ASSERT_EQ(bits_wide(multiply_small(sa, k)), a * k);
    ASSERT_EQ(bits_wide(multiply_bits(sa, sb)), a * b);
    ASSERT_EQ(compare_bits(sa, sb), a < b ? -1 : a > b ? 1 : 0);
    if (a >= b) {
      ASSERT_EQ(bits_wide(subtract_bits(sa, sb)), a - b);
    }
    if (k != 0) {
      ASSERT_EQ(bits_wide(divide_small(sa, k)), a / k);
    }
    if (b != 0) {
      ASSERT_EQ(bits_wide(remainder_bits(sa, sb)), a % b);
    }
    ASSERT_EQ(mod_ten(sa), unsigned(a % 10));
    ASSERT_EQ(bits_wide(halve_bits(sa)), a / 2);
    ASSERT_EQ(bits_wide(increment_bits(sa)), a + 1);
    unsigned n = unsigned(rng() % 60);
    ASSERT_EQ(bits_wide(shift_bits(sa, n)), a << n);
    ASSERT_EQ(bits_wide(shift_bits_down(sa, n)), a >> n);
  }
}

TEST(NumeralBits, KnownValues) {
  EXPECT_EQ(numeral_to_bits("0"), bytes({0x03}));
  EXPECT_EQ(numeral_to_bits("1"), bytes({0x07}));
  EXPECT_EQ(numeral_to_bits("01"), bytes({0x05}));
  EXPECT_EQ(numeral_to_bits("00"), bytes({0x02}));
  EXPECT_EQ(numeral_to_bits("000"), bytes({0x04}));
  EXPECT_EQ(numeral_to_bits("004"), bytes({0x12}));
  for (const char* n : {"0", "1", "01", "00", "000", "004", "0003", "00017", "0000"})
    EXPECT_EQ(bits_to_numeral(numeral_to_bits(n)), n);
  // Untrimmed input is trimmed before it is read.
  EXPECT_EQ(bits_to_numeral(bytes({0x07, 0x00, 0x00})), "1");
}

TEST(NumeralBits, FractionNumeralsByLayout) {
  // "00" + k zeros + D is 2^(k+1) (2D + 1).
  EXPECT_EQ(bits_wide(numeral_to_bits("00017")), UWide(4) * 35);
  EXPECT_EQ(bits_wide(numeral_to_bits("000000")), UWide(1) << 5);
  EXPECT_EQ(bits_to_numeral(wide_bits(UWide(8) * 201)), "0000100");  // k = 2, D = 100
}

TEST(NumeralBits, IntegersAgreeWithWideArithmetic) {
  std::mt19937_64 rng(32);
  for (int round = 0; round < 5000; ++round) {
    Wide n = random_signed(rng, 120);
    std::string numeral = wide_numeral(n);
    std::string b = numeral_to_bits(numeral);
    ASSERT_EQ(bits_wide(b), tagged(n)) << numeral;
    ASSERT_NE(b.back(), '\0');
    ASSERT_EQ(bits_to_numeral(b), numeral);
  }
}

TEST(NumeralBits, LongNumeralsRoundTrip) {
  std::mt19937_64 rng(33);
  for (size_t n : {17, 18, 19, 36, 37, 1000, 10000}) {
    for (bool negative : {false, true}) {
      std::string numeral = random_long_numeral(rng, n, negative);
      EXPECT_EQ(bits_to_numeral(numeral_to_bits(numeral)), numeral);
    }
  }
  // A run of zeros inside a chunk survives.
  std::string ten_pow = "1" + std::string(200, '0');
  EXPECT_EQ(bits_to_numeral(numeral_to_bits(ten_pow)), ten_pow);
  std::string fraction = "00000" + random_long_numeral(rng, 5000, false);
  EXPECT_EQ(bits_to_numeral(numeral_to_bits(fraction)), fraction);
}

TEST(BitLists, KnownValues) {
  Term list = bits_to_bit_list(bytes({0x07}));
  ASSERT_TRUE(is_pair(list));
  EXPECT_TRUE(leaf_is(pair_left(pair_left(list.get())), "J"));
  EXPECT_TRUE(leaf_is(pair_right(pair_left(list.get())), "K"));
  Node* rest = pair_right(list.get());
  EXPECT_TRUE(leaf_is(pair_left(pair_left(rest)), "J"));
  EXPECT_TRUE(leaf_is(pair_right(pair_left(rest)), "K"));
  EXPECT_TRUE(leaf_is(pair_right(rest), "K"));
  EXPECT_TRUE(leaf_is(bits_to_bit_list(bytes({0x01})), "K"));
  Term fraction = bits_to_bit_list(bytes({0x02}));
  EXPECT_TRUE(leaf_is(pair_right(pair_left(fraction.get())), "H"));
}

TEST(BitLists, TermsOfBitStrings) {
  EXPECT_TRUE(leaf_is(bits_to_term(bytes({0x01})), "K"));
  EXPECT_TRUE(leaf_is(bits_to_term(bytes({0x01, 0x00})), "K"));
  EXPECT_EQ(leaf_text(bits_to_term(bytes({0x05}))), "01");
  EXPECT_EQ(leaf_text(bits_to_term(bytes({0x03}))), "0");
  // Fractions come back as their "00" leaf rather than failing the integer check.
  EXPECT_EQ(leaf_text(bits_to_term(bytes({0x12}))), "004");
  EXPECT_EQ(leaf_text(bits_to_term(bytes({0x02}))), "00");
  EXPECT_EQ(integer_bits_to_numeral(bytes({0x01})), "0");
  EXPECT_EQ(integer_bits_to_numeral(bytes({0x0B})), "2");
}

TEST(BitLists, ReadBackEveryShape) {
  std::mt19937_64 rng(34);
  for (int round = 0; round < 500; ++round) {
    Wide n = random_signed(rng, 100);
    std::string b = numeral_to_bits(wide_numeral(n));
    ASSERT_EQ(term_bits(bits_to_bit_list(b)), b);
    ASSERT_EQ(term_bits(make_leaf(wide_numeral(n))), b);
  }
  EXPECT_EQ(term_bits(make_leaf("K")), bytes({0x01}));
  EXPECT_EQ(term_bits(make_leaf("004")), bytes({0x12}));
  // A list ending in a numeral continues with that numeral's bits below its top bit:
  // (J H) followed by 0 (bits 11) gives 0, 1, then the implicit top: 0b110.
  Term j = make_leaf("J"), h = make_leaf("H"), k = make_leaf("K");
  EXPECT_EQ(term_bits(make_pair(make_pair(j, h), make_leaf("0"))), bytes({0x06}));
  EXPECT_EQ(term_bits(make_pair(make_pair(j, k), make_leaf("K"))), bytes({0x03}));
  // Not numbers.
  EXPECT_EQ(term_bits(make_leaf("H")), "");
  EXPECT_EQ(term_bits(make_pair(make_pair(j, make_leaf("Z")), k)), "");
  EXPECT_EQ(term_bits(make_pair(make_pair(h, k), k)), "");
  EXPECT_EQ(term_bits(make_pair(k, k)), "");
  EXPECT_EQ(term_bits(make_pair(make_pair(j, k), make_leaf("foo"))), "");
}

TEST(BitLists, MillionElementListsNeedNoDeepStack) {
  std::string b;
  set_bit(b, 1000000, true);
  set_bit(b, 0, true);
  set_bit(b, 1, true);
  Term list = bits_to_bit_list(b);
  EXPECT_EQ(term_bits(list), b);
}

TEST(BitAssertions, NormalFormAndConversions) {
  EXPECT_DEATH(assert_normal_bits(""), "ASSERTION FAILED:b:518");
  EXPECT_DEATH(bits_to_bit_list(bytes({0x07, 0x00})), "ASSERTION FAILED:b:518");
  EXPECT_DEATH(bits_to_numeral(bytes({0x01})), "ASSERTION FAILED:b:775");
  EXPECT_DEATH(bits_to_numeral(bytes({0x00})), "ASSERTION FAILED:b:775");
  EXPECT_DEATH(numeral_to_bits(""), "ASSERTION FAILED:b:8583");
}

}  // namespace
