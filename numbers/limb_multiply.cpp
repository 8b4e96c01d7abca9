// Products of decimal limbs: schoolbook, Karatsuba, and the choice between them, Toom-3
// (limb_toom.cpp) and the transform (limb_transform.cpp).
#include <algorithm>

#include "numbers/limb_kernels.h"
#include "numbers/limbs.h"

namespace limb_detail {

// Column by column: each column's products are summed in 128 bits (at most 256 terms of
// below 10^36 each, so the sum fits) and split into base-10^18 digits once.
void multiply_schoolbook(uint64_t* r, const uint64_t* a, size_t an, const uint64_t* b, size_t bn) {
  if (an < bn) {
    std::swap(a, b);
    std::swap(an, bn);
  }
  if (bn == 0) {
    std::fill(r, r + an, 0);
    return;
  }
  if (bn == 1) {
    multiply_by_limb(r, a, an, b[0]);
    return;
  }
  u128 carry = 0;
  for (size_t k = 0; k + 1 < an + bn; ++k) {
    size_t lo = k >= bn - 1 ? k - (bn - 1) : 0;
    size_t hi = std::min(k, an - 1);
    u128 sum = carry;
    for (size_t i = lo; i <= hi; ++i) sum += u128(a[i]) * b[k - i];
    WideSplit s = split_base_wide(sum);
    r[k] = s.low;
    carry = s.high;
  }
  r[an + bn - 1] = uint64_t(carry);
}

namespace {

// Scratch limbs that a Karatsuba product of n limbs needs, its recursion included.
size_t karatsuba_scratch(size_t n) {
  size_t total = 0;
  while (n >= kKaratsubaLimbs) {
    size_t h = (n + 1) / 2;
    total += 4 * h + 4;
    n = h + 1;
  }
  return total;
}

void karatsuba_step(uint64_t* r, const uint64_t* a, size_t an, const uint64_t* b, size_t bn,
                    uint64_t* scratch);

// A product inside Karatsuba: balanced ones recurse on the caller's scratch, the rest go to
// the general choice.
void multiply_part(uint64_t* r, const uint64_t* a, size_t an, const uint64_t* b, size_t bn,
                   uint64_t* scratch) {
  if (an < bn) {
    std::swap(a, b);
    std::swap(an, bn);
  }
  if (bn < kKaratsubaLimbs) {
    multiply_schoolbook(r, a, an, b, bn);
  } else if (an >= 2 * bn || bn >= kToomLimbs || bn >= kTransformLimbs) {
    multiply_runs(r, a, an, b, bn);
  } else {
    karatsuba_step(r, a, an, b, bn, scratch);
  }
}

// a longer than twice b: b times each piece of a of b's length, added in at its place.
void multiply_unbalanced(uint64_t* r, const uint64_t* a, size_t an, const uint64_t* b,
                         size_t bn) {
  std::fill(r, r + an + bn, 0);
  Limbs piece(2 * bn);
  for (size_t start = 0; start < an; start += bn) {
    size_t n = std::min(bn, an - start);
    multiply_runs(piece.data(), a + start, n, b, bn);
    add_into(r + start, an + bn - start, piece.data(), n + bn);
  }
}

// a = a1 B^h + a0, b = b1 B^h + b0 (bn > an / 2): the half products a0 b0 and a1 b1, and the
// middle term (a0 + a1)(b0 + b1) - a0 b0 - a1 b1.
void karatsuba_step(uint64_t* r, const uint64_t* a, size_t an, const uint64_t* b, size_t bn,
                    uint64_t* scratch) {
  size_t h = (an + 1) / 2;
  bool square = a == b && an == bn;
  uint64_t* sa = scratch;
  uint64_t* sb = sa + h + 1;
  uint64_t* middle = sb + h + 1;
  uint64_t* rest = middle + 2 * h + 2;
  std::fill(r, r + an + bn, 0);
  multiply_part(r, a, h, b, h, rest);                             // a0 b0 at r[0, 2h)
  multiply_part(r + 2 * h, a + h, an - h, b + h, bn - h, rest);  // a1 b1 at r[2h, an + bn)
  std::fill(sa, sa + 2 * h + 2, 0);
  std::copy(a, a + h, sa);
  add_into(sa, h + 1, a + h, an - h);
  if (!square) {
    std::copy(b, b + h, sb);
    add_into(sb, h + 1, b + h, bn - h);
  }
  const uint64_t* second = square ? sa : sb;
  size_t sn = significant(sa, h + 1);
  size_t tn = significant(second, h + 1);
  std::fill(middle, middle + 2 * h + 2, 0);
  multiply_part(middle, sa, sn, second, tn, rest);
  sub_from(middle, 2 * h + 2, r, 2 * h);
  sub_from(middle, 2 * h + 2, r + 2 * h, an + bn - 2 * h);
  add_into(r + h, an + bn - h, middle, significant(middle, 2 * h + 2));
}

}  // namespace

void multiply_runs(uint64_t* r, const uint64_t* a, size_t an, const uint64_t* b, size_t bn) {
  if (an < bn) {
    std::swap(a, b);
    std::swap(an, bn);
  }
  if (bn < kKaratsubaLimbs) {
    multiply_schoolbook(r, a, an, b, bn);
  } else if (toom3_wins(an, bn)) {
    multiply_toom3(r, a, an, b, bn);
  } else if (bn >= kTransformLimbs) {
    multiply_transform(r, a, an, b, bn);
  } else if (an >= 2 * bn) {
    multiply_unbalanced(r, a, an, b, bn);
  } else {
    multiply_karatsuba(r, a, an, b, bn);
  }
}

void multiply_karatsuba(uint64_t* r, const uint64_t* a, size_t an, const uint64_t* b, size_t bn) {
  Limbs scratch(karatsuba_scratch(an));
  karatsuba_step(r, a, an, b, bn, scratch.data());
}

}  // namespace limb_detail

using namespace limb_detail;

Limbs multiply_limbs(const Limbs& a, const Limbs& b) {
  size_t an = significant(a.data(), a.size());
  size_t bn = significant(b.data(), b.size());
  if (an == 0 || bn == 0) return {};
  Limbs product(an + bn);
  // The same vector twice is a square, which the kernels recognise by its pointers.
  multiply_runs(product.data(), a.data(), an, b.data(), bn);
  trim_limbs(product);
  return product;
}

Limbs power_limbs(const Limbs& a, uint64_t e) {
  Limbs result{1};
  if (e == 0) return result;
  // From the top bit down: square, then multiply by the base for a set bit. The base stays the
  // short factor, so each step is one square and at most one cheap product.
  int top = 63 - __builtin_clzll(e);
  result = a;
  for (int bit = top - 1; bit >= 0; --bit) {
    result = multiply_limbs(result, result);
    if ((e >> bit) & 1) result = multiply_limbs(result, a);
  }
  trim_limbs(result);
  return result;
}
