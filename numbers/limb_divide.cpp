// Quotients of decimal limbs: schoolbook long division for short divisors or quotients, and
// a Newton reciprocal with one product and a final correction for long ones.
//
// The Newton path estimates the quotient from a reciprocal accurate to a few units and then
// corrects it against the exact remainder, so the result is exact whatever the estimate's
// error; only the time depends on it.
#include <algorithm>

#include "diagnostics/diagnostics.h"
#include "numbers/limb_kernels.h"
#include "numbers/limbs.h"

using namespace limb_detail;

namespace {

// Knuth's algorithm D in base 10^18 for a divisor of two or more limbs (top limb non-zero).
Limbs divide_schoolbook(const Limbs& a, const Limbs& b, Limbs* remainder) {
  size_t n = b.size();
  size_t m = a.size();
  // Scaling by f makes the divisor's top limb at least half the base, so that each estimated
  // quotient limb is at most two too large.
  uint64_t f = kLimbBase / (b.back() + 1);
  Limbs v = multiply_limb(b, f);
  Limbs u = multiply_limb(a, f);
  u.resize(m + 1, 0);
  Limbs q(m - n + 1, 0);
  uint64_t top = v[n - 1];
  uint64_t second = v[n - 2];
  for (size_t j = m - n + 1; j-- > 0;) {
    u128 num = u128(u[j + n]) * kLimbBase + u[j + n - 1];
    u128 qhat = num / top;
    u128 rhat = num % top;
    while (qhat >= kLimbBase || qhat * second > rhat * kLimbBase + u[j + n - 2]) {
      --qhat;
      rhat += top;
      if (rhat >= kLimbBase) break;
    }
    uint64_t qd = uint64_t(qhat);
    // u[j .. j + n] -= qd * v
    uint64_t carry = 0;
    uint64_t borrow = 0;
    for (size_t i = 0; i < n; ++i) {
      Split s = split_base(u128(qd) * v[i] + carry);
      carry = s.high;
      uint64_t take = s.low + borrow;
      uint64_t cur = u[j + i];
      borrow = cur < take;
      u[j + i] = cur - take + (borrow ? kLimbBase : 0);
    }
    uint64_t take = carry + borrow;
    borrow = u[j + n] < take;
    u[j + n] = u[j + n] - take + (borrow ? kLimbBase : 0);
    if (borrow) {  // the estimate was one too large: add the divisor back
      --qd;
      add_into(u.data() + j, n + 1, v.data(), n);
      u[j + n] = 0;  // the carry out cancels the borrow
    }
    q[j] = qd;
  }
  if (remainder) {
    u.resize(n);
    divide_limb_in_place(u, f);
    *remainder = std::move(u);
  }
  trim_limbs(q);
  return q;
}

Limbs low_limbs_dropped(const Limbs& a, size_t n) {
  if (n >= a.size()) return {};
  return Limbs(a.begin() + std::ptrdiff_t(n), a.end());
}

// About B^(2n) / b for b of n limbs with a non-zero top limb (B = 10^18), within a few units.
Limbs reciprocal(const Limbs& b) {
  size_t n = b.size();
  if (n <= kNewtonLimbs / 2) {
    Limbs power(2 * n + 1, 0);
    power[2 * n] = 1;
    return divide_schoolbook(power, b, nullptr);
  }
  // From the reciprocal r of the top h limbs (about B^(n+h) / b scaled down by B^(n-h)), one
  // Newton step: R = r B^(n-h) + r (B^(n+h) - b r) / B^(2h). The step squares r's relative
  // error, at worst B^(1-h) when the top limb is small; h = n/2 + 3 leaves a few units in R.
  size_t h = n / 2 + 3;
  Limbs r = reciprocal(low_limbs_dropped(b, n - h));
  Limbs br = multiply_limbs(b, r);
  Limbs power(n + h + 1, 0);
  power[n + h] = 1;
  bool over = compare_limbs(br, power) > 0;
  Limbs error = over ? subtract_limbs(br, power) : subtract_limbs(power, br);
  Limbs step = low_limbs_dropped(multiply_limbs(r, error), 2 * h);
  Limbs result = shift_limbs_up(r, n - h);
  return over ? subtract_limbs(result, step) : add_limbs(result, step);
}

// Makes q the exact floor quotient of a by b, given an estimate a few units off; returns the
// remainder.
Limbs correct(const Limbs& a, const Limbs& b, Limbs& q) {
  Limbs product = multiply_limbs(q, b);
  while (compare_limbs(product, a) > 0) {
    q = subtract_limbs(q, Limbs{1});
    product = subtract_limbs(product, b);
  }
  Limbs r = subtract_limbs(a, product);
  while (compare_limbs(r, b) >= 0) {
    q = add_limbs(q, Limbs{1});
    r = subtract_limbs(r, b);
  }
  return r;
}

// Quotient and remainder of x < b B^n by b of n limbs, with R the reciprocal of b.
Limbs divide_block(const Limbs& x, const Limbs& b, const Limbs& inverse, Limbs* remainder) {
  size_t n = b.size();
  // The low n - 1 limbs of x change the estimate by less than one.
  Limbs q = low_limbs_dropped(multiply_limbs(low_limbs_dropped(x, n - 1), inverse), n + 1);
  Limbs r = correct(x, b, q);
  if (remainder) *remainder = std::move(r);
  return q;
}

Limbs divide_newton(const Limbs& a, const Limbs& b, Limbs* remainder) {
  size_t n = b.size();
  size_t k = a.size() - n + 1;  // quotient limbs, at most
  if (k <= n + 1) {
    // Only the top k + 2 limbs of the divisor matter to the estimate.
    size_t drop = n > k + 2 ? n - (k + 2) : 0;
    Limbs top = low_limbs_dropped(b, drop);
    Limbs q = low_limbs_dropped(
        multiply_limbs(low_limbs_dropped(a, drop + top.size() - 1), reciprocal(top)),
        top.size() + 1);
    Limbs r = correct(a, b, q);
    if (remainder) *remainder = std::move(r);
    return q;
  }
  // A long quotient: n limbs at a time from the top, each block below b B^n.
  Limbs inverse = reciprocal(b);
  Limbs q(a.size(), 0);
  Limbs r;
  size_t start = a.size();
  while (start > 0) {
    size_t take = std::min(n, start);
    start -= take;
    Limbs x = shift_limbs_up(r, take);
    if (x.empty()) x.assign(take, 0);
    std::copy(a.begin() + std::ptrdiff_t(start), a.begin() + std::ptrdiff_t(start + take),
              x.begin());
    trim_limbs(x);
    Limbs block = divide_block(x, b, inverse, &r);
    std::copy(block.begin(), block.end(), q.begin() + std::ptrdiff_t(start));
  }
  trim_limbs(q);
  if (remainder) *remainder = std::move(r);
  return q;
}

}  // namespace

Limbs divide_limbs(const Limbs& a_in, const Limbs& b_in, Limbs* remainder) {
  Limbs a = a_in;
  Limbs b = b_in;
  trim_limbs(a);
  trim_limbs(b);
  core_assert(!b.empty(), 2505);  // callers answer a zero divisor before dividing
  if (compare_limbs(a, b) < 0) {
    if (remainder) *remainder = a;
    return {};
  }
  if (b.size() == 1) {
    uint64_t r = divide_limb_in_place(a, b[0]);
    if (remainder) *remainder = r ? Limbs{r} : Limbs{};
    return a;
  }
  size_t k = a.size() - b.size() + 1;
  if (b.size() < kNewtonLimbs || k < kNewtonLimbs) return divide_schoolbook(a, b, remainder);
  return divide_newton(a, b, remainder);
}
