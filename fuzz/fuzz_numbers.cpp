// The integer kernels on random operands: sums, differences, products, floor quotients,
// remainders, products by short factors on the text, powers, magnitude order and the numeral <-> bit string conversion, each checked
// against the digit-string oracle and, where the library is present, against GMP.
//
// Input: one selector byte, then two operands separated by the byte 0xFF. Each operand byte
// becomes one decimal digit; the first byte's low bit makes the operand negative.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "numbers/bits.h"
#include "numbers/digits.h"
#include "primitives/integer_arithmetic.h"
#include "numbers/numerals.h"
#include "numbers/text_products.h"

#ifdef TARN_FUZZ_GMP
#include <gmp.h>
#endif

namespace {

[[noreturn]] void mismatch(const char* what, std::string_view x, std::string_view y,
                           std::string_view got, std::string_view want) {
  std::fprintf(stderr, "%s mismatch\n x=%.*s\n y=%.*s\n got=%.*s\n want=%.*s\n", what,
               int(x.size()), x.data(), int(y.size()), y.data(), int(got.size()), got.data(),
               int(want.size()), want.data());
  std::abort();
}

void expect(const char* what, std::string_view x, std::string_view y, const std::string& got,
            const std::string& want) {
  if (got != want) mismatch(what, x, y, got, want);
}

// A numeral in normal form from operand bytes: no leading zeros, "0" for zero, a sign zero
// before a negative magnitude.
std::string numeral_from(std::string_view bytes) {
  if (bytes.empty()) return "0";
  bool negative = bytes[0] & 1;
  std::string digits;
  for (unsigned char c : bytes) digits.push_back(char('0' + c % 10));
  size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return "0";
  std::string magnitude = digits.substr(first);
  return negative ? "0" + magnitude : magnitude;
}

bool negative(std::string_view numeral) { return numeral.size() > 1 && numeral[0] == '0'; }
std::string magnitude_of(std::string_view numeral) {
  return std::string(negative(numeral) ? numeral.substr(1) : numeral);
}

// The oracle on digit strings: signed sums and products from magnitude arithmetic.
std::string oracle_sum(std::string_view x, std::string_view y) {
  std::string a = numeral_to_digits(x), b = numeral_to_digits(y);
  bool nx = negative(x), ny = negative(y);
  if (nx == ny) return with_sign(!nx, digits_to_numeral(add_digits(a, b)));
  if (at_least_digits(a, b)) return with_sign(!nx, digits_to_numeral(subtract_digits(a, b)));
  return with_sign(!ny, digits_to_numeral(subtract_digits(b, a)));
}

std::string oracle_product(std::string_view x, std::string_view y) {
  std::string p = digits_to_numeral(multiply_digits(numeral_to_digits(x), numeral_to_digits(y)));
  return with_sign(negative(x) == negative(y), p);
}

#ifdef TARN_FUZZ_GMP
struct Big {
  mpz_t v;
  explicit Big(std::string_view numeral) {
    std::string text = negative(numeral) ? "-" + magnitude_of(numeral) : std::string(numeral);
    mpz_init_set_str(v, text.c_str(), 10);
  }
  Big() { mpz_init(v); }
  ~Big() { mpz_clear(v); }
  std::string numeral() const {
    char* s = mpz_get_str(nullptr, 10, v);
    std::string text(s);
    std::free(s);
    return text[0] == '-' ? "0" + text.substr(1) : text;
  }
};
#endif

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 4096) return 0;
  unsigned selector = data[0];
  std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  size_t cut = rest.find('\xff');
  std::string x = numeral_from(rest.substr(0, cut));
  std::string y = numeral_from(cut == std::string_view::npos ? "" : rest.substr(cut + 1));
  bool y_zero = y == "0";

  switch (selector % 8) {
    case 0:
      expect("add", x, y, add_numerals(x, y), oracle_sum(x, y));
      break;
    case 1:
      expect("subtract", x, y, subtract_numerals(x, y), oracle_sum(x, negate_numeral(y)));
      break;
    case 2:
    {
      std::string want = oracle_product(x, y);
      expect("multiply", x, y, multiply_numerals(x, y), want);
      // A factor of a few digits takes the path that works on the text itself.
      std::string mx = magnitude_of(x), my = magnitude_of(y);
      if (mx.size() < my.size()) std::swap(mx, my);
      if (my.size() <= kTextFactorDigits && my != "0" && mx != "0") {
        uint64_t k = std::strtoull(my.c_str(), nullptr, 10);
        Term t = text_product_leaf(negative(x) != negative(y), mx, k);
        expect("text product", x, y, std::string(leaf_text(t)), want);
      }
      break;
    }
    case 3:
    case 4: {
      if (y_zero) break;
      std::string q = floor_divide_numerals(x, y);
      std::string r = remainder_numerals(x, y);
      // The remainder is |x - q * y|: never negative, below |y|, and q * y +- r gives x back.
      if (negative(r) || compare_magnitudes(magnitude_of(r), magnitude_of(y)) >= 0)
        mismatch("remainder range", x, y, r, "0 <= r < |y|");
      std::string qy = oracle_product(q, y);
      if (oracle_sum(qy, r) != x && oracle_sum(qy, negate_numeral(r)) != x)
        mismatch("quotient", x, y, q + " r " + r, "q * y +- r = x");
#ifdef TARN_FUZZ_GMP
      Big a(x), b(y), fq, fr;
      mpz_fdiv_q(fq.v, a.v, b.v);
      expect("floor quotient", x, y, q, fq.numeral());
      mpz_mul(fr.v, fq.v, b.v);
      mpz_sub(fr.v, a.v, fr.v);
      mpz_abs(fr.v, fr.v);
      expect("remainder", x, y, r, fr.numeral());
#endif
      break;
    }
    case 5: {
      // Small exponents only: the result's size grows with their product.
      if (x.size() > 64) x.resize(64);
      if (y.size() > 2) y.resize(2);
      if (negative(y)) {
        expect("power", x, y, power_numerals(x, y), "0");
        break;
      }
      std::string want = "1";
      for (int i = 0, n = std::atoi(y.c_str()); i < n; ++i) want = oracle_product(want, x);
      expect("power", x, y, power_numerals(x, y), want);
      break;
    }
    case 6: {
      int c = compare_magnitudes(magnitude_of(x), magnitude_of(y));
      std::string a = numeral_to_digits(x), b = numeral_to_digits(y);
      int want = less_digits(a, b) ? -1 : (less_digits(b, a) ? 1 : 0);
      if (c != want) mismatch("compare", x, y, std::to_string(c), std::to_string(want));
      break;
    }
    default:
      expect("bits round trip", x, y, bits_to_numeral(numeral_to_bits(x)), x);
      break;
  }
#ifdef TARN_FUZZ_GMP
  if (selector % 8 <= 2) {
    Big a(x), b(y), want;
    if (selector % 8 == 0) mpz_add(want.v, a.v, b.v);
    if (selector % 8 == 1) mpz_sub(want.v, a.v, b.v);
    if (selector % 8 == 2) mpz_mul(want.v, a.v, b.v);
    std::string got = selector % 8 == 0   ? add_numerals(x, y)
                      : selector % 8 == 1 ? subtract_numerals(x, y)
                                          : multiply_numerals(x, y);
    expect("gmp", x, y, got, want.numeral());
  }
#endif
  return 0;
}
