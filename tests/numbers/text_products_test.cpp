// Long numerals times short factors on the text, against the digit-string product, with the
// leading digits placed on and around powers of ten where the length is hardest to tell.
#include "numbers/text_products.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "numbers/digits.h"

namespace {

std::string oracle_product(const std::string& a, uint64_t k) {
  return digits_to_numeral(
      multiply_digits(numeral_to_digits(a), numeral_to_digits(std::to_string(k))));
}

std::string random_digits(std::mt19937_64& rng, size_t n) {
  std::string s(n, '0');
  for (char& c : s) c = char('0' + rng() % 10);
  s[0] = char('1' + rng() % 9);
  return s;
}

void check(const std::string& a, uint64_t k) {
  std::string want = oracle_product(a, k);
  size_t length = text_product_length(a, k);
  if (length != 0) {
    EXPECT_EQ(length, want.size()) << a << " * " << k;
  }
  EXPECT_EQ(leaf_text(text_product_leaf(false, a, k)), want) << a << " * " << k;
  EXPECT_EQ(leaf_text(text_product_leaf(true, a, k)), "0" + want) << a << " * " << k;
}

std::vector<uint64_t> factors(std::mt19937_64& rng) {
  std::vector<uint64_t> ks = {1, 2, 3, 7, 9, 10, 99999999, 100000000, 100000001,
                              9999999999999999ull, 1000000000000000ull, 30000};
  uint64_t p = 1;
  for (int d = 1; d <= 16; ++d, p *= 10) ks.push_back(p + rng() % (9 * p));
  return ks;
}

TEST(TextProducts, RandomNumeralsAtEveryChunkOffset) {
  std::mt19937_64 rng(7);
  for (uint64_t k : factors(rng)) {
    for (size_t n = 19; n <= 90; ++n) check(random_digits(rng, n), k);
    check(random_digits(rng, 1000), k);
  }
}

TEST(TextProducts, NinesPowersOfTenAndSparseNumerals) {
  std::mt19937_64 rng(8);
  for (uint64_t k : factors(rng)) {
    for (size_t n : {19, 24, 25, 32, 33, 41, 200}) {
      check(std::string(n, '9'), k);
      check("1" + std::string(n - 1, '0'), k);
      std::string sparse = "1" + std::string(n - 1, '0');
      sparse[n / 2] = '3';
      check(sparse, k);
    }
  }
}

// Numerals whose leading digits times k come within one unit of a power of ten: only the
// low digits decide whether the product gains a digit.
TEST(TextProducts, LeadingDigitsOnAPowerOfTen) {
  std::mt19937_64 rng(9);
  for (uint64_t k : {3ull, 7ull, 9ull, 11ull, 13ull, 99999999ull, 9999999999999999ull}) {
    for (size_t n : {19, 20, 26, 40, 64}) {
      // a = ceil(10^(n + d - 1) / k) and its neighbours straddle the length change.
      std::string power = "1" + std::string(n + std::to_string(k).size() - 1, '0');
      std::string q = digits_to_numeral(divide_digits(false, numeral_to_digits(power),
                                                      numeral_to_digits(std::to_string(k))));
      std::string below = digits_to_numeral(subtract_digits(numeral_to_digits(q), "1"));
      for (const std::string& a : {q, below}) {
        if (a.size() < 19) continue;
        check(a, k);
        std::string mutated = a;
        mutated.back() = char('0' + rng() % 10);
        check(mutated, k);
      }
    }
  }
}

}  // namespace
