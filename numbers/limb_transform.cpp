// Products of long limb runs by number-theoretic transforms.
//
// The limbs are the coefficients of two polynomials; their cyclic convolution is computed
// modulo three primes p = c 2^k + 1 just below 2^62, each with Montgomery multiplication, and
// the three residues of every coefficient are joined by Garner's form of the Chinese remainder
// theorem. A coefficient is below min(an, bn) 10^36, far less than the product of the primes
// (about 2 10^55), so the join is exact. Carries in base 10^18 are taken at the end.
//
// The forward transform is decimation in frequency (natural order in, bit-reversed out), the
// inverse decimation in time (bit-reversed in, natural out), so no permutation is needed.
#include <algorithm>

#include "numbers/limb_kernels.h"

namespace limb_detail {

namespace {

constexpr uint64_t kP1 = 4179340454199820289ull;  // 29 * 2^57 + 1, primitive root 3
constexpr uint64_t kP2 = 2485986994308513793ull;  // 69 * 2^55 + 1, primitive root 5
constexpr uint64_t kP3 = 1945555039024054273ull;  // 27 * 2^56 + 1, primitive root 5

constexpr uint64_t power_mod(uint64_t b, uint64_t e, uint64_t p) {
  uint64_t r = 1;
  b %= p;
  while (e) {
    if (e & 1) r = uint64_t(u128(r) * b % p);
    b = uint64_t(u128(b) * b % p);
    e >>= 1;
  }
  return r;
}

template <uint64_t P>
struct Field {
  // P^-1 mod 2^64 by Newton's iteration (each step doubles the correct low bits).
  static constexpr uint64_t inverse() {
    uint64_t x = P;  // correct to 3 bits for odd P
    for (int i = 0; i < 6; ++i) x *= 2 - P * x;
    return x;
  }
  static constexpr uint64_t kInv = inverse();
  static constexpr uint64_t kR = uint64_t((u128(1) << 64) % P);  // 2^64 mod P
  static constexpr uint64_t kR2 = uint64_t(u128(kR) * kR % P);

  // a b 2^-64 mod P, for a, b < P.
  static uint64_t mul(uint64_t a, uint64_t b) {
    u128 t = u128(a) * b;
    uint64_t lo = uint64_t(t);
    uint64_t hi = uint64_t(t >> 64);
    uint64_t m = lo * kInv;
    uint64_t mp = uint64_t((u128(m) * P) >> 64);
    return hi >= mp ? hi - mp : hi - mp + P;
  }
  // The same for a b < 4 P^2, without the last correction: the result is in (0, 2P).
  static uint64_t mul_lazy(uint64_t a, uint64_t b) {
    u128 t = u128(a) * b;
    uint64_t m = uint64_t(t) * kInv;
    return uint64_t(t >> 64) - uint64_t((u128(m) * P) >> 64) + P;
  }
  static uint64_t to_mont(uint64_t a) { return mul(a, kR2); }
  // a mod 2P for a < 4P.
  static uint64_t below_twice(uint64_t a) { return a >= 2 * P ? a - 2 * P : a; }
  static uint64_t add(uint64_t a, uint64_t b) {
    uint64_t s = a + b;
    return s >= P ? s - P : s;
  }
  static uint64_t sub(uint64_t a, uint64_t b) { return a >= b ? a - b : a - b + P; }
};

// Montgomery forms of w^j for j < m, for every stage m = 1, 2, 4, ... below n (w a primitive
// 2m-th root), stored at roots[m + j]. A stage's roots do not depend on n, so one table per
// prime and direction serves every size; it grows to the largest transform so far.
template <uint64_t P>
const Limbs& stage_roots(size_t n, uint64_t g, bool inverse) {
  using F = Field<P>;
  static Limbs tables[2];
  Limbs& roots = tables[inverse];
  if (roots.size() >= n) return roots;
  size_t from = std::max<size_t>(roots.size(), 1);
  roots.resize(std::max<size_t>(n, 2));
  for (size_t m = from; m < n; m *= 2) {
    uint64_t w = power_mod(g, (P - 1) / (2 * m), P);
    if (inverse) w = power_mod(w, P - 2, P);
    uint64_t wm = F::to_mont(w);
    uint64_t cur = F::to_mont(1);
    for (size_t j = 0; j < m; ++j) {
      roots[m + j] = cur;
      cur = F::mul(cur, wm);
    }
  }
  return roots;
}

// Butterflies keep their values below 2P (P < 2^62, so 4P fits in a word) and reduce fully only
// at the end, which saves a comparison per operation.
template <uint64_t P>
void forward(uint64_t* x, size_t n, const Limbs& roots) {
  using F = Field<P>;
  for (size_t m = n / 2; m >= 1; m /= 2) {
    const uint64_t* w = roots.data() + m;
    for (size_t start = 0; start < n; start += 2 * m) {
      uint64_t* lo = x + start;
      uint64_t* hi = lo + m;
      for (size_t j = 0; j < m; ++j) {
        uint64_t u = lo[j], v = hi[j];
        lo[j] = F::below_twice(u + v);
        hi[j] = F::mul_lazy(u - v + 2 * P, w[j]);
      }
    }
  }
}

template <uint64_t P>
void inverse(uint64_t* x, size_t n, const Limbs& roots) {
  using F = Field<P>;
  for (size_t m = 1; m < n; m *= 2) {
    const uint64_t* w = roots.data() + m;
    for (size_t start = 0; start < n; start += 2 * m) {
      uint64_t* lo = x + start;
      uint64_t* hi = lo + m;
      for (size_t j = 0; j < m; ++j) {
        uint64_t u = lo[j], v = F::mul_lazy(hi[j], w[j]);
        lo[j] = F::below_twice(u + v);
        hi[j] = F::below_twice(u - v + 2 * P);
      }
    }
  }
}

// The cyclic convolution of a and b modulo P, in natural order, n a power of two.
template <uint64_t P>
Limbs convolve(const uint64_t* a, size_t an, const uint64_t* b, size_t bn, size_t n,
               uint64_t g) {
  using F = Field<P>;
  bool square = a == b && an == bn;
  Limbs fa(n, 0);
  std::copy(a, a + an, fa.begin());  // limbs are below every prime
  forward<P>(fa.data(), n, stage_roots<P>(n, g, false));
  if (square) {
    for (size_t i = 0; i < n; ++i) fa[i] = F::mul_lazy(fa[i], fa[i]);
  } else {
    Limbs fb(n, 0);
    std::copy(b, b + bn, fb.begin());
    forward<P>(fb.data(), n, stage_roots<P>(n, g, false));
    for (size_t i = 0; i < n; ++i) fa[i] = F::mul_lazy(fa[i], fb[i]);
  }
  inverse<P>(fa.data(), n, stage_roots<P>(n, g, true));
  // The pointwise products carry one factor 2^-64 and the inverse a factor n: undo both.
  uint64_t scale = power_mod(n % P, P - 2, P);
  scale = uint64_t(u128(scale) * F::kR2 % P);  // n^-1 2^128: mul by it multiplies by n^-1 2^64
  for (size_t i = 0; i < n; ++i) {
    uint64_t v = F::mul_lazy(fa[i], scale);
    fa[i] = v >= P ? v - P : v;
  }
  return fa;
}

uint64_t reduce_below(uint64_t v, uint64_t p) {
  while (v >= p) v -= p;
  return v;
}

// The exact coefficients of the product of two runs of words below 2^61 (every prime exceeds
// them), handed in order to take(k, w0, w1, w2), the coefficient being w2 2^128 + w1 2^64 + w0.
template <class Take>
void exact_convolution(const uint64_t* a, size_t an, const uint64_t* b, size_t bn, Take take) {
  size_t terms = an + bn - 1;
  size_t n = 1;
  while (n < terms) n *= 2;
  Limbs c1 = convolve<kP1>(a, an, b, bn, n, 3);
  Limbs c2 = convolve<kP2>(a, an, b, bn, n, 5);
  Limbs c3 = convolve<kP3>(a, an, b, bn, n, 5);
  using F2 = Field<kP2>;
  using F3 = Field<kP3>;
  // Garner: x = x1 + p1 x2 + p1 p2 x3 with x1 < p1, x2 < p2, x3 < p3.
  const uint64_t inv_p1_mod_p2 = F2::to_mont(power_mod(kP1 % kP2, kP2 - 2, kP2));
  const uint64_t p1_mod_p3 = F3::to_mont(kP1 % kP3);
  const uint64_t inv_p12_mod_p3 =
      F3::to_mont(power_mod(uint64_t(u128(kP1 % kP3) * (kP2 % kP3) % kP3), kP3 - 2, kP3));
  const u128 p12 = u128(kP1) * kP2;
  const uint64_t p12_lo = uint64_t(p12), p12_hi = uint64_t(p12 >> 64);
  for (size_t k = 0; k < terms; ++k) {
    uint64_t x1 = c1[k];
    uint64_t x2 = F2::mul(F2::sub(c2[k], reduce_below(x1, kP2)), inv_p1_mod_p2);
    uint64_t t = F3::sub(c3[k], reduce_below(x1, kP3));
    t = F3::sub(t, F3::mul(x2, p1_mod_p3));
    uint64_t x3 = F3::mul(t, inv_p12_mod_p3);
    u128 low = u128(kP1) * x2 + x1;
    u128 mid_lo = u128(p12_lo) * x3;
    u128 mid_hi = u128(p12_hi) * x3;
    u128 s0 = uint64_t(low) + (mid_lo & ~uint64_t(0));
    u128 s1 = (low >> 64) + (mid_lo >> 64) + uint64_t(mid_hi) + (s0 >> 64);
    take(k, uint64_t(s0), uint64_t(s1), uint64_t((mid_hi >> 64) + (s1 >> 64)));
  }
}

}  // namespace

void multiply_transform(uint64_t* r, const uint64_t* a, size_t an, const uint64_t* b, size_t bn) {
  u128 carry = 0;
  exact_convolution(a, an, b, bn, [&](size_t k, uint64_t w0, uint64_t w1, uint64_t w2) {
    // Add the carry, then divide by 10^18; the sum stays below 10^18 2^128, so the quotient
    // fits in 128 bits.
    u128 s0 = u128(w0) + uint64_t(carry);
    u128 s1 = u128(w1) + uint64_t(carry >> 64) + (s0 >> 64);
    w2 += uint64_t(s1 >> 64);
    Split q1 = split_base((u128(w2) << 64) | uint64_t(s1));
    Split q0 = split_base((u128(q1.low) << 64) | uint64_t(s0));
    r[k] = q0.low;
    carry = (u128(q1.high) << 64) | q0.high;
  });
  r[an + bn - 1] = uint64_t(carry);
}

void multiply_binary_transform(uint64_t* r, const uint64_t* a, size_t an, const uint64_t* b,
                               size_t bn) {
  constexpr uint64_t mask = (uint64_t(1) << kBinaryLimbBits) - 1;
  uint64_t c0 = 0, c1 = 0, c2 = 0;  // the carry, 192 bits
  exact_convolution(a, an, b, bn, [&](size_t k, uint64_t w0, uint64_t w1, uint64_t w2) {
    u128 s0 = u128(w0) + c0;
    u128 s1 = u128(w1) + c1 + uint64_t(s0 >> 64);
    c2 += w2 + uint64_t(s1 >> 64);
    c1 = uint64_t(s1);
    c0 = uint64_t(s0);
    r[k] = c0 & mask;
    c0 = (c0 >> kBinaryLimbBits) | (c1 << (64 - kBinaryLimbBits));
    c1 = (c1 >> kBinaryLimbBits) | (c2 << (64 - kBinaryLimbBits));
    c2 >>= kBinaryLimbBits;
  });
  r[an + bn - 1] = c0;
}

}  // namespace limb_detail
