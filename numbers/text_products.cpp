// Long numeral times a factor below 10^16, on the text (text_products.h).
//
// The text is read in chunks of sixteen digits from the units up, and each block of chunks
// multiplied by k and written out at once: the product is the only pass over the text, and
// nothing but the result leaf is allocated.
#include "numbers/text_products.h"

#include <cstring>
#include <string>

#include "numbers/decimal_chunks.h"
#include "numbers/limb_kernels.h"

using namespace decimal_chunks;

namespace {

size_t decimal_width(uint64_t v) {
  size_t n = 1;
  while (v >= 10) {
    v /= 10;
    ++n;
  }
  return n;
}

u128 power_of_ten(size_t n) {
  u128 p = 1;
  for (size_t i = 0; i < n; ++i) p *= 10;
  return p;
}

}  // namespace

size_t text_product_length(std::string_view digits, uint64_t k) {
  size_t n = digits.size();
  size_t d = decimal_width(k);
  // The product has n + d digits exactly when it reaches 10^(n + d - 1). With T the leading
  // (at most 18) digits of the numeral, it lies in [T k, (T + 1) k) times the same power of ten.
  size_t lead = n < 18 ? n : 18;
  u128 top = parse_short(digits.data(), lead);
  u128 bound = power_of_ten(lead + d - 1);
  if (top * k >= bound) return n + d;
  if (lead == n || (top + 1) * k <= bound) return n + d - 1;
  return 0;
}

namespace {

// The same for k < 10^8 on a machine with AVX2: groups of eight digits read, multiplied and
// written four at a time, with no serial carry chain in the common case.
void write_short_product(char* out, size_t length, std::string_view digits, uint64_t k) {
  uint64_t groups[kGroupBlock];
  const char* a = digits.data() + digits.size();
  char* o = out + length;
  uint64_t carry = 0;
  for (size_t left = digits.size() / 8; left > 0;) {
    size_t n = left < kGroupBlock ? left : kGroupBlock;
    a -= 8 * n;
    o -= 8 * n;
    read_groups_avx2(a, groups, n);
    carry = multiply_groups_avx2(groups, n, k, carry);
    write_groups_avx2(o, groups, n);
    left -= n;
  }
  uint64_t top = parse_short(digits.data(), size_t(a - digits.data()));
  u128 rest = u128(top) * k + carry;
  while (o > out) {
    *--o = char('0' + uint64_t(rest % 10));
    rest /= 10;
  }
}

}  // namespace

void write_text_product(char* out, size_t length, std::string_view digits, uint64_t k) {
  static const bool wide = have_avx2();
  if (wide && k < kPow8) {
    write_short_product(out, length, digits, k);
    return;
  }
  // Blocks of chunks go through short loops (read, multiply, write) rather than one long
  // one, so that each keeps its own work in flight, and the text is read and written in wide
  // runs, two chunks or four groups at a time where the machine has AVX2.
  constexpr uint64_t kBase = kPow16;
  constexpr size_t kBlock = 64;
  uint64_t chunks[kBlock];      // the numeral's chunks, most significant first
  uint64_t groups[2 * kBlock];  // the product's eight-digit groups, most significant first
  const uint64_t m = uint64_t((u128(k) << 64) / kBase);
  const char* a = digits.data() + digits.size();  // one past the block being read
  char* o = out + length;                          // one past the block being written
  uint64_t carry = 0;
  for (size_t left = digits.size() / 16; left > 0;) {
    size_t n = left < kBlock ? left : kBlock;
    a -= 16 * n;
    if (wide) {
      read_chunks_avx2(a, chunks, n);
    } else {
      read_chunks_portable(a, chunks, n);
    }
    for (size_t i = 0; i < n; ++i) {
      uint64_t low = limb_detail::multiply_step<kBase>(chunks[n - 1 - i], k, m, carry);
      groups[2 * (n - 1 - i)] = low / kPow8;
      groups[2 * (n - 1 - i) + 1] = low % kPow8;
    }
    o -= 16 * n;
    if (wide) {
      write_groups_avx2(o, groups, 2 * n);
    } else {
      write_groups_portable(o, groups, 2 * n);
    }
    left -= n;
  }
  // The digits above the full chunks: the short top chunk times k and the carry.
  uint64_t top = parse_short(digits.data(), size_t(a - digits.data()));
  u128 rest = u128(top) * k + carry;
  while (o > out) {
    *--o = char('0' + uint64_t(rest % 10));
    rest /= 10;
  }
}

Term text_product_leaf(bool negative, std::string_view digits, uint64_t k) {
  size_t sign = negative ? 1 : 0;
  size_t length = text_product_length(digits, k);
  if (length == 0) {
    // Rare: the leading digits sit on a power of ten. Compute the longer form and drop its
    // high digit if that is a zero.
    size_t longer = digits.size() + decimal_width(k);
    std::string product(sign + longer, '0');
    write_text_product(product.data() + sign, longer, digits, k);
    if (product[sign] == '0') product.erase(sign, 1);
    return make_leaf(product);
  }
  // The first byte only says that this is a number leaf; the product overwrites it.
  Term t = allocate_leaf(negative ? '0' : '1', sign + length);
  char* text = leaf_chars(t.get());
  write_text_product(text + sign, length, digits, k);
  return t;
}
