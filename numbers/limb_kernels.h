// Kernels on raw runs of decimal limbs (see limbs.h), shared by the product and quotient files.
//
// Runs are (pointer, length) pairs, little-endian, base 10^18, high zero limbs allowed. Output
// runs never overlap input runs unless a function says so.
#pragma once

#include <cstddef>
#include <cstdint>

#include "numbers/limbs.h"

using u128 = unsigned __int128;

namespace limb_detail {

// Measured: Toom-3 overtakes Karatsuba from kToomLimbs limbs of the shorter operand. It also
// beats the transform below kToomTopLimbs when the transform would run at a length of which the
// product fills less than three quarters (just past a power of two).
constexpr size_t kToomLimbs = 400;
constexpr size_t kToomTopLimbs = 1536;

// The base shifted left until its top bit is set, and its reciprocal for division of two words
// by one (Moller and Granlund, "Improved division by invariant integers").
constexpr int kNormShift = 4;
constexpr uint64_t kNormBase = kLimbBase << kNormShift;
constexpr uint64_t kNormInverse = uint64_t((~u128(0)) / kNormBase - (u128(1) << 64));

struct Split {
  uint64_t high;  // x div 10^18
  uint64_t low;   // x mod 10^18
};

// x = high * 10^18 + low, for x < 10^18 * 2^64.
inline Split split_base(u128 x) {
  x <<= kNormShift;
  uint64_t nh = uint64_t(x >> 64);
  uint64_t nl = uint64_t(x);
  u128 p = u128(nh) * kNormInverse + ((u128(nh) << 64) | nl);
  uint64_t q1 = uint64_t(p >> 64) + 1;
  uint64_t q0 = uint64_t(p);
  uint64_t r = nl - q1 * kNormBase;
  // Taken about half the time: a mask, not a branch.
  uint64_t mask = 0 - uint64_t(r > q0);
  q1 += mask;
  r += mask & kNormBase;
  if (r >= kNormBase) [[unlikely]] {
    ++q1;
    r -= kNormBase;
  }
  return {q1, r >> kNormShift};
}

// x = high * 10^18 + low for any x; high is 128 bits wide.
struct WideSplit {
  u128 high;
  uint64_t low;
};
inline WideSplit split_base_wide(u128 x) {
  uint64_t top = uint64_t(x >> 64);
  uint64_t top_q = top / kLimbBase;
  uint64_t top_r = top % kLimbBase;
  Split s = split_base((u128(top_r) << 64) | uint64_t(x));
  return {(u128(top_q) << 64) + s.high, s.low};
}

// r = a + b over n limbs; returns the carry (0 or 1). r may be a or b.
inline uint64_t add_n(uint64_t* r, const uint64_t* a, const uint64_t* b, size_t n) {
  uint64_t carry = 0;
  for (size_t i = 0; i < n; ++i) {
    uint64_t s = a[i] + b[i] + carry;
    carry = s >= kLimbBase;
    r[i] = s - (carry ? kLimbBase : 0);
  }
  return carry;
}

// r = a - b over n limbs; returns the borrow (0 or 1). r may be a or b.
inline uint64_t sub_n(uint64_t* r, const uint64_t* a, const uint64_t* b, size_t n) {
  uint64_t borrow = 0;
  for (size_t i = 0; i < n; ++i) {
    uint64_t d = a[i] - b[i] - borrow;
    borrow = a[i] < b[i] + borrow;
    r[i] = d + (borrow ? kLimbBase : 0);
  }
  return borrow;
}

// One step of a product by a short factor k in base B (k < B): x k + carry = q B + low, with
// q estimated from the fixed reciprocal m = k 2^64 div B (at most two too small, then
// corrected), so the steps' products are independent and only a short add runs from step to
// step. Returns low; carry becomes the next step's carry.
template <uint64_t B>
inline uint64_t multiply_step(uint64_t x, uint64_t k, uint64_t m, uint64_t& carry) {
  uint64_t q = uint64_t((u128(x) * m) >> 64);
  uint64_t rest = x * k - q * B;  // below 3 B, exact modulo 2^64
  uint64_t fix = rest >= B;
  q += fix;
  rest -= fix ? B : 0;
  fix = rest >= B;
  q += fix;
  rest -= fix ? B : 0;
  uint64_t low = rest + carry;
  uint64_t over = low >= B;
  carry = q + over;
  return low - (over ? B : 0);
}

// r[0..n] = a[0..n) * k for k < 10^18.
inline void multiply_by_limb(uint64_t* r, const uint64_t* a, size_t n, uint64_t k) {
  const uint64_t m = uint64_t((u128(k) << 64) / kLimbBase);
  uint64_t carry = 0;
  for (size_t i = 0; i < n; ++i) r[i] = multiply_step<kLimbBase>(a[i], k, m, carry);
  r[n] = carry;
}

// r[0..rn) += a[0..an) with the carry run through the rest of r; an <= rn. Returns the carry
// out of r.
inline uint64_t add_into(uint64_t* r, size_t rn, const uint64_t* a, size_t an) {
  uint64_t carry = add_n(r, r, a, an);
  for (size_t i = an; carry && i < rn; ++i) {
    uint64_t s = r[i] + 1;
    carry = s == kLimbBase;
    r[i] = carry ? 0 : s;
  }
  return carry;
}

// r[0..rn) -= a[0..an) with the borrow run through the rest of r; returns the borrow out.
inline uint64_t sub_from(uint64_t* r, size_t rn, const uint64_t* a, size_t an) {
  uint64_t borrow = sub_n(r, r, a, an);
  for (size_t i = an; borrow && i < rn; ++i) {
    borrow = r[i] == 0;
    r[i] = borrow ? kLimbBase - 1 : r[i] - 1;
  }
  return borrow;
}

// Significant length of a run (high zero limbs dropped).
inline size_t significant(const uint64_t* a, size_t n) {
  while (n > 0 && a[n - 1] == 0) --n;
  return n;
}

// r[0..an+bn) = a * b. Schoolbook needs bn <= 256; the others take any sizes with an >= bn.
void multiply_schoolbook(uint64_t* r, const uint64_t* a, size_t an, const uint64_t* b, size_t bn);
void multiply_transform(uint64_t* r, const uint64_t* a, size_t an, const uint64_t* b, size_t bn);
// Toom-3 at the top level, the general choice below; needs an >= bn >= toom3_shortest(an).
void multiply_toom3(uint64_t* r, const uint64_t* a, size_t an, const uint64_t* b, size_t bn);
inline size_t toom3_shortest(size_t an) { return 2 * ((an + 2) / 3) + 1; }
// Whether Toom-3 is the faster way to a product of these lengths (an >= bn).
inline bool toom3_wins(size_t an, size_t bn) {
  if (bn < kToomLimbs || bn < toom3_shortest(an)) return false;
  if (bn < kTransformLimbs) return true;
  if (bn >= kToomTopLimbs) return false;
  size_t terms = an + bn - 1, length = 1;
  while (length < terms) length *= 2;
  return 4 * terms < 3 * length;
}
// Karatsuba at the top level, the general choice below; needs an >= bn > an / 2.
void multiply_karatsuba(uint64_t* r, const uint64_t* a, size_t an, const uint64_t* b, size_t bn);
// The same transform on binary limbs of kBinaryLimbBits bits each (r has an + bn of them).
constexpr int kBinaryLimbBits = 56;
void multiply_binary_transform(uint64_t* r, const uint64_t* a, size_t an, const uint64_t* b,
                               size_t bn);
// Chooses the method by size; any an, bn (either may be zero).
void multiply_runs(uint64_t* r, const uint64_t* a, size_t an, const uint64_t* b, size_t bn);

}  // namespace limb_detail
