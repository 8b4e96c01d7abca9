// The wide text readers and writers against digit-by-digit conversion: the portable forms, and
// the AVX2 forms where this machine has them, on every count around their lane widths.
#include "numbers/decimal_chunks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace decimal_chunks;

std::vector<uint64_t> random_groups(std::mt19937_64& rng, size_t n) {
  const uint64_t extremes[] = {0, 1, 9, 10, 9999, 10000, 99999999, 10000000, 12345678};
  std::vector<uint64_t> g(n);
  for (uint64_t& v : g) v = rng() % 3 == 0 ? extremes[rng() % 9] : rng() % kPow8;
  return g;
}

std::string expected_text(const std::vector<uint64_t>& groups) {
  std::string s;
  char buffer[16];
  for (uint64_t v : groups) {
    std::snprintf(buffer, sizeof buffer, "%08llu", static_cast<unsigned long long>(v));
    s += buffer;
  }
  return s;
}

TEST(DecimalChunks, GroupsWrittenAsEightDigitsEach) {
  std::mt19937_64 rng(3);
  for (size_t n = 0; n <= 40; ++n) {
    std::vector<uint64_t> g = random_groups(rng, n);
    std::string want = expected_text(g);
    std::string got(8 * n, '?');
    write_groups_portable(got.data(), g.data(), n);
    EXPECT_EQ(got, want);
    if (have_avx2()) {
      std::string wide(8 * n, '?');
      write_groups_avx2(wide.data(), g.data(), n);
      EXPECT_EQ(wide, want) << n;
    }
  }
}

TEST(DecimalChunks, ChunksReadAsSixteenDigitsEach) {
  std::mt19937_64 rng(4);
  for (size_t n = 0; n <= 21; ++n) {
    std::string text = expected_text(random_groups(rng, 2 * n));
    std::vector<uint64_t> want(n);
    for (size_t i = 0; i < n; ++i) want[i] = std::stoull(text.substr(16 * i, 16));
    std::vector<uint64_t> got(n, 7);
    read_chunks_portable(text.data(), got.data(), n);
    EXPECT_EQ(got, want);
    if (have_avx2()) {
      std::vector<uint64_t> wide(n, 7);
      read_chunks_avx2(text.data(), wide.data(), n);
      EXPECT_EQ(wide, want) << n;
    }
  }
}

// groups times k plus carry by the plain serial chain.
uint64_t reference_multiply(std::vector<uint64_t>& g, uint64_t k, uint64_t carry) {
  for (size_t i = g.size(); i-- > 0;) {
    uint64_t p = g[i] * k + carry;
    g[i] = p % kPow8;
    carry = p / kPow8;
  }
  return carry;
}

// Every block length, factors at the ends of their range, and blocks where one group's sum is
// 10^8 - 1 so that a carry must pass through it (the serial fallback).
TEST(DecimalChunks, GroupProductsAgainstTheSerialChain) {
  if (!have_avx2()) GTEST_SKIP() << "no AVX2 on this machine";
  std::mt19937_64 rng(5);
  for (uint64_t k : {1ull, 2ull, 9ull, 30000ull, 12345678ull, 99999999ull}) {
    for (size_t n = 1; n <= kGroupBlock; n += (n < 12 ? 1 : 13)) {
      for (int plant = 0; plant < 3; ++plant) {
        std::vector<uint64_t> g = random_groups(rng, n);
        if (plant == 1) g[rng() % n] = 99999999;  // k = 1 makes its sum 10^8 - 1
        if (plant == 2) std::fill(g.begin(), g.end(), 99999999);
        uint64_t carry = rng() % 3 == 0 ? kPow8 - 1 : rng() % kPow8;
        std::vector<uint64_t> want = g;
        uint64_t want_carry = reference_multiply(want, k, carry);
        std::vector<uint64_t> got = g;
        got.resize(kGroupBlock);
        uint64_t got_carry = multiply_groups_avx2(got.data(), n, k, carry);
        got.resize(n);
        ASSERT_EQ(got, want) << k << " " << n << " " << plant;
        ASSERT_EQ(got_carry, want_carry) << k << " " << n << " " << plant;
      }
    }
  }
}

TEST(DecimalChunks, GroupsReadAsEightDigitsEach) {
  std::mt19937_64 rng(6);
  for (size_t n = 0; n <= 21; ++n) {
    std::vector<uint64_t> want = random_groups(rng, n);
    std::string text = expected_text(want);
    std::vector<uint64_t> got(n, 7);
    read_groups_portable(text.data(), got.data(), n);
    EXPECT_EQ(got, want);
    if (have_avx2()) {
      std::vector<uint64_t> wide(n, 7);
      read_groups_avx2(text.data(), wide.data(), n);
      EXPECT_EQ(wide, want) << n;
    }
  }
}

}  // namespace
