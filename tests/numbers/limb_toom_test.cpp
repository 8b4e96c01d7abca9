// Toom-3 products against schoolbook and Karatsuba (the same limbs expected) and against GMP,
// at and around its thresholds, on unbalanced, extreme and zero-padded operands.
#include <gmp.h>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "numbers/limb_kernels.h"
#include "numbers/limbs.h"

using namespace limb_detail;

namespace {

enum class Fill { random, nines, base_power, sparse };

Limbs make(std::mt19937_64& rng, size_t n, Fill fill) {
  Limbs a(n, 0);
  if (n == 0) return a;
  for (size_t i = 0; i < n; ++i) {
    switch (fill) {
      case Fill::random: a[i] = rng() % kLimbBase; break;
      case Fill::nines: a[i] = kLimbBase - 1; break;
      case Fill::base_power: break;
      case Fill::sparse: a[i] = rng() % 5 == 0 ? rng() % kLimbBase : 0; break;
    }
  }
  if (fill == Fill::base_power) a[n - 1] = 1;
  if (a[n - 1] == 0) a[n - 1] = 1;
  return a;
}

std::string gmp_text(const Limbs& a, const Limbs& b) {
  std::string x, y;
  append_limbs_text(x, a);
  append_limbs_text(y, b);
  mpz_t p, q;
  mpz_init_set_str(p, x.c_str(), 10);
  mpz_init_set_str(q, y.c_str(), 10);
  mpz_mul(p, p, q);
  std::vector<char> buffer(mpz_sizeinbase(p, 10) + 2);
  mpz_get_str(buffer.data(), 10, p);
  mpz_clear(p);
  mpz_clear(q);
  return buffer.data();
}

Limbs toom(const Limbs& a, const Limbs& b) {
  Limbs r(a.size() + b.size(), 7);  // not zeroed: every limb must be written
  multiply_toom3(r.data(), a.data(), a.size(), b.data(), b.size());
  return r;
}

Limbs reference(const Limbs& a, const Limbs& b) {
  Limbs r(a.size() + b.size(), 0);
  if (b.size() < kKaratsubaLimbs) {
    multiply_schoolbook(r.data(), a.data(), a.size(), b.data(), b.size());
  } else {
    multiply_karatsuba(r.data(), a.data(), a.size(), b.data(), b.size());
  }
  return r;
}

const Fill kFills[] = {Fill::random, Fill::nines, Fill::base_power, Fill::sparse};

}  // namespace

TEST(LimbToom, EverySmallShapeMatchesTheOtherMethods) {
  // Short pieces reach every split: c4 empty or one limb, the value at -1 of either sign.
  std::mt19937_64 rng(31);
  for (size_t an = 3; an <= 70; ++an) {
    for (size_t bn = toom3_shortest(an); bn <= an; ++bn) {
      for (Fill fill : kFills) {
        Limbs a = make(rng, an, fill), b = make(rng, bn, Fill::random);
        ASSERT_EQ(toom(a, b), reference(a, b)) << an << " x " << bn;
        ASSERT_EQ(toom(b, b), reference(b, b)) << bn;
      }
    }
  }
}

TEST(LimbToom, MiddleSignsAndZeroPieces) {
  // a1 much larger or smaller than a0 + a2 flips the value at -1; zero pieces and high zero
  // limbs (runs that are not trimmed) must not disturb the interpolation.
  std::mt19937_64 rng(32);
  for (size_t n : {size_t(60), size_t(150), kToomLimbs + 1}) {
    size_t k = (n + 2) / 3;
    for (int shape = 0; shape < 6; ++shape) {
      Limbs a = make(rng, n, Fill::random), b = make(rng, n, Fill::nines);
      if (shape == 0) std::fill(a.begin(), a.begin() + 2 * k, 0);      // a0 = a1 = 0
      if (shape == 1) std::fill(a.begin() + k, a.begin() + 2 * k, 0);  // a1 = 0
      if (shape == 2) std::fill(a.begin(), a.begin() + k, 0);          // a0 = 0
      if (shape == 3) std::fill(a.begin() + 2 * k, a.end() - 1, 0);    // a2 nearly 0
      if (shape == 4) std::fill(a.end() - n / 4, a.end(), 0);          // high zero limbs
      if (shape == 5) std::fill(b.end() - n / 3, b.end(), 0);
      ASSERT_EQ(toom(a, b), reference(a, b)) << n << " shape " << shape;
      ASSERT_EQ(toom(a, a), reference(a, a)) << n << " shape " << shape;
    }
  }
}

TEST(LimbToom, AroundItsThresholdsAgainstGmp) {
  std::mt19937_64 rng(33);
  const size_t t = kToomLimbs, top = kToomTopLimbs;
  for (size_t an : {t - 1, t, t + 1, 3 * t + 2, kTransformLimbs + 100, top - 1, top}) {
    for (size_t bn : {an, an - 1, toom3_shortest(an), toom3_shortest(an) - 1, an / 2 + 1}) {
      for (Fill fill : kFills) {
        Limbs a = make(rng, an, fill), b = make(rng, bn, Fill::random);
        std::string x;
        append_limbs_text(x, multiply_limbs(a, b));
        ASSERT_EQ(x, gmp_text(a, b)) << an << " x " << bn;
      }
    }
  }
}

TEST(LimbToom, SquaresAndNinesAcrossTheBandAgainstGmp) {
  std::mt19937_64 rng(34);
  for (size_t n : {kToomLimbs, 2 * kToomLimbs + 1, kTransformLimbs + 25, kToomTopLimbs - 1}) {
    for (Fill fill : kFills) {
      Limbs a = make(rng, n, fill);
      std::string x;
      append_limbs_text(x, multiply_limbs(a, a));
      ASSERT_EQ(x, gmp_text(a, a)) << n;
      ASSERT_EQ(toom(a, a), reference(a, a)) << n;
    }
  }
}
