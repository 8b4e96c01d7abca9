// Toom-3 products of decimal limbs: each operand cut in three, five products of a third of the
// length instead of Karatsuba's three of a half.
#include <algorithm>

#include "numbers/limb_kernels.h"
#include "numbers/limbs.h"

namespace limb_detail {

namespace {

// a[0..n) /= d, top limb down, for a multiple of d. The running remainder times the base stays
// below d 10^18, which fits in a word for d <= 18.
template <uint64_t d>
void divide_exact(uint64_t* a, size_t n) {
  static_assert(d <= 18);
  uint64_t rest = 0;
  for (size_t i = n; i-- > 0;) {
    uint64_t x = rest * kLimbBase + a[i];
    a[i] = x / d;
    rest = x % d;
  }
}

// Compares a[0..n) with b[0..n).
int compare_n(const uint64_t* a, const uint64_t* b, size_t n) {
  for (size_t i = n; i-- > 0;) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  return 0;
}

// The values at 1, -1 and 2 of x0 + x1 X + x2 X^2, where x0 and x1 have k limbs and x2 has
// n2 <= k. Each output has k + 1 limbs; the value at -1 is a magnitude and its sign (true when
// negative).
bool evaluate(const uint64_t* x, size_t k, size_t n2, uint64_t* at1, uint64_t* at_minus1,
              uint64_t* at2) {
  const uint64_t* x1 = x + k;
  const uint64_t* x2 = x + 2 * k;
  // x0 + x2 in at2 for the moment.
  std::copy(x, x + k, at2);
  at2[k] = 0;
  add_into(at2, k + 1, x2, n2);
  std::copy(x1, x1 + k, at1);
  at1[k] = 0;
  bool negative = compare_n(at2, at1, k + 1) < 0;
  if (negative) {
    sub_n(at_minus1, at1, at2, k + 1);
  } else {
    sub_n(at_minus1, at2, at1, k + 1);
  }
  add_n(at1, at2, at1, k + 1);
  // x0 + 2 x1 + 4 x2 = x0 + 2 (x1 + 2 x2), below 7 10^(18 k), so k + 1 limbs hold it.
  std::copy(x1, x1 + k, at2);
  at2[k] = 0;
  add_into(at2, k + 1, x2, n2);
  add_into(at2, k + 1, x2, n2);
  add_n(at2, at2, at2, k + 1);
  add_into(at2, k + 1, x, k);
  return negative;
}

// r[0..w) = x * y, the factors taken without their high zero limbs; w >= their lengths' sum.
void product_into(uint64_t* r, size_t w, const uint64_t* x, size_t xn, const uint64_t* y,
                  size_t yn) {
  xn = significant(x, xn);
  yn = significant(y, yn);
  std::fill(r, r + w, 0);
  // The same pointer twice keeps a square a square for the kernels below.
  multiply_runs(r, x, xn, x == y ? x : y, x == y ? xn : yn);
}

}  // namespace

// With a = a0 + a1 X + a2 X^2 and b likewise (X = 10^(18 k)), the product c0 + ... + c4 X^4 is
// found from its values at 0, 1, -1, 2 and infinity. Every coefficient is non-negative, so only
// the value at -1 carries a sign, and each step of the interpolation below stays non-negative.
void multiply_toom3(uint64_t* r, const uint64_t* a, size_t an, const uint64_t* b, size_t bn) {
  const size_t k = (an + 2) / 3;
  const size_t a2n = an - 2 * k, b2n = bn - 2 * k;
  const bool square = a == b && an == bn;
  const size_t e = k + 1, w = 2 * k + 3;  // an evaluation, a product (one spare limb)
  Limbs scratch(6 * e + 4 * w);
  uint64_t* pa = scratch.data();  // a at 1, -1, 2
  uint64_t* pb = pa + 3 * e;      // b at 1, -1, 2
  uint64_t* v1 = pb + 3 * e;
  uint64_t* vm1 = v1 + w;
  uint64_t* v2 = vm1 + w;
  uint64_t* t = v2 + w;

  bool negative = evaluate(a, k, a2n, pa, pa + e, pa + 2 * e);
  if (square) {
    pb = pa;
    negative = false;
  } else {
    negative ^= evaluate(b, k, b2n, pb, pb + e, pb + 2 * e);
  }
  const size_t top = an + bn - 4 * k;  // c4's limbs
  std::fill(r, r + an + bn, 0);
  product_into(r, 2 * k, a, k, square ? a : b, k);                          // c0
  product_into(r + 4 * k, top, a + 2 * k, a2n, b + 2 * k, square ? a2n : b2n);  // c4
  product_into(v1, w, pa, e, pb, e);
  product_into(vm1, w, pa + e, e, pb + e, e);
  product_into(v2, w, pa + 2 * e, e, pb + 2 * e, e);
  const uint64_t* c0 = r;
  const uint64_t* c4 = r + 4 * k;

  // t = (v1 + v-1) / 2 = c0 + c2 + c4 and v1 = (v1 - v-1) / 2 = c1 + c3.
  if (negative) {
    sub_n(t, v1, vm1, w);
    add_n(v1, v1, vm1, w);
  } else {
    add_n(t, v1, vm1, w);
    sub_n(v1, v1, vm1, w);
  }
  divide_exact<2>(t, w);
  divide_exact<2>(v1, w);
  sub_from(t, w, c0, 2 * k);
  sub_from(t, w, c4, top);  // t = c2
  // v2 = c0 + 2 c1 + 4 c2 + 8 c3 + 16 c4; less c0, 4 c2 and 16 c4, halved, less c1 + c3, it is
  // 3 c3.
  sub_from(v2, w, c0, 2 * k);
  multiply_by_limb(vm1, t, w - 1, 4);
  sub_from(v2, w, vm1, w);
  multiply_by_limb(vm1, c4, top, 16);
  sub_from(v2, w, vm1, top + 1);
  divide_exact<2>(v2, w);
  sub_n(v2, v2, v1, w);
  divide_exact<3>(v2, w);  // c3
  sub_n(v1, v1, v2, w);    // c1

  // Each coefficient times its power of X is below the product, so it fits in what is left.
  add_into(r + k, an + bn - k, v1, significant(v1, w));
  add_into(r + 2 * k, an + bn - 2 * k, t, significant(t, w));
  add_into(r + 3 * k, an + bn - 3 * k, v2, significant(v2, w));
}

}  // namespace limb_detail
