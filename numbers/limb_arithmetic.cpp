// Linear arithmetic on decimal limbs: compare, add, subtract, and one-word products and
// quotients.
#include <algorithm>

#include "diagnostics/diagnostics.h"
#include "numbers/limb_kernels.h"
#include "numbers/limbs.h"

using namespace limb_detail;

int compare_limbs(const Limbs& a, const Limbs& b) {
  size_t an = significant(a.data(), a.size());
  size_t bn = significant(b.data(), b.size());
  if (an != bn) return an < bn ? -1 : 1;
  for (size_t i = an; i-- > 0;)
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  return 0;
}

Limbs add_limbs(const Limbs& a, const Limbs& b) {
  const Limbs& longer = a.size() >= b.size() ? a : b;
  const Limbs& shorter = a.size() >= b.size() ? b : a;
  Limbs sum(longer.size() + 1, 0);
  std::copy(longer.begin(), longer.end(), sum.begin());
  add_into(sum.data(), sum.size(), shorter.data(), shorter.size());
  trim_limbs(sum);
  return sum;
}

Limbs subtract_limbs(const Limbs& a, const Limbs& b) {
  core_assert(compare_limbs(a, b) >= 0, 2505);
  Limbs difference(a);
  sub_from(difference.data(), difference.size(), b.data(), significant(b.data(), b.size()));
  trim_limbs(difference);
  return difference;
}

Limbs multiply_limb(const Limbs& a, uint64_t k) {
  if (k == 0 || a.empty()) return {};
  Limbs product(a.size() + 1);
  multiply_by_limb(product.data(), a.data(), a.size(), k);
  trim_limbs(product);
  return product;
}

uint64_t divide_limb_in_place(Limbs& a, uint64_t k) {
  u128 r = 0;
  for (size_t i = a.size(); i-- > 0;) {
    u128 v = r * kLimbBase + a[i];
    a[i] = uint64_t(v / k);
    r = v % k;
  }
  trim_limbs(a);
  return uint64_t(r);
}

Limbs shift_limbs_up(const Limbs& a, size_t n) {
  if (a.empty()) return {};
  Limbs shifted(n + a.size(), 0);
  std::copy(a.begin(), a.end(), shifted.begin() + std::ptrdiff_t(n));
  return shifted;
}
