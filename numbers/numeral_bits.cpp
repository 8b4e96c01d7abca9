// Conversions between numerals and tagged bit strings.
#include <algorithm>
#include <string>
#include <vector>

#include "diagnostics/diagnostics.h"
#include "numbers/bits.h"
#include "numbers/limbs.h"

namespace {

// Decimal conversions run on 32-bit words, nine decimal digits at a time, so that every step
// is one native multiply or divide.
constexpr int kChunkDigits = 9;

std::vector<uint32_t> to_words(std::string_view bits) {
  std::vector<uint32_t> words((bits.size() + 3) / 4, 0);
  for (size_t i = 0; i < bits.size(); ++i)
    words[i / 4] |= uint32_t(static_cast<unsigned char>(bits[i])) << (8 * (i % 4));
  return words;
}

std::string from_words(const std::vector<uint32_t>& words) {
  std::string bits(words.size() * 4, '\0');
  for (size_t i = 0; i < bits.size(); ++i) bits[i] = char(uint8_t(words[i / 4] >> (8 * (i % 4))));
  return trim_bits(std::move(bits));
}

// Binary value of a short run of decimal digits, one product per nine digits.
std::string decimal_to_bits_direct(std::string_view digits) {
  std::vector<uint32_t> words;
  size_t i = 0;
  while (i < digits.size()) {
    size_t take = std::min(digits.size() - i, size_t(kChunkDigits));
    uint64_t chunk = 0;
    uint64_t scale = 1;
    for (size_t j = 0; j < take; ++j) {
      chunk = chunk * 10 + uint64_t(digits[i + j] - '0');
      scale *= 10;
    }
    // words = words * scale + chunk
    uint64_t carry = chunk;
    for (uint32_t& w : words) {
      carry += uint64_t(w) * scale;
      w = uint32_t(carry);
      carry >>= 32;
    }
    if (carry) words.push_back(uint32_t(carry));
    i += take;
  }
  return from_words(words);
}

// Binary value of a run of decimal digits. Long runs are split as hi 10^k + lo with
// k = 18 2^j digits, the powers 10^k made by squaring and kept for the whole conversion, so
// the conversion is as fast as the products of bit strings.
std::string decimal_to_bits_split(std::string_view digits, std::vector<std::string>& powers) {
  size_t n = digits.size();
  if (n <= 1800) return decimal_to_bits_direct(digits);
  size_t j = 0;
  while ((size_t(36) << j) < n) ++j;  // k = 18 2^j digits, k < n <= 2k
  size_t k = size_t(18) << j;
  if (powers.empty()) powers.push_back(decimal_to_bits_direct("1000000000000000000"));
  while (powers.size() <= j) powers.push_back(multiply_bits(powers.back(), powers.back()));
  std::string high = decimal_to_bits_split(digits.substr(0, n - k), powers);
  return add_bits(multiply_bits(high, powers[j]), decimal_to_bits_split(digits.substr(n - k), powers));
}

std::string decimal_to_bits(std::string_view digits) {
  std::vector<std::string> powers;
  return decimal_to_bits_split(digits, powers);
}

// Decimal limbs of a binary number of n 32-bit words. Short numbers take one product by 2^32
// per word; long ones are split at a power-of-two count of words k, as hi 2^(32k) + lo, with
// the powers 2^(32 2^j) made by squaring and kept in `powers` for the whole conversion. That
// makes the conversion as fast as the products of limbs.
Limbs words_to_limbs(const uint32_t* w, size_t n, std::vector<Limbs>& powers) {
  while (n > 0 && w[n - 1] == 0) --n;
  if (n <= 64) {
    Limbs a;
    for (size_t i = n; i-- > 0;) {
      a = multiply_limb(a, uint64_t(1) << 32);
      a = add_limbs(a, Limbs{w[i]});
    }
    trim_limbs(a);
    return a;
  }
  size_t j = 0;
  while ((size_t(2) << j) < n) ++j;  // k = 2^j words, k < n <= 2k
  size_t k = size_t(1) << j;
  if (powers.empty()) powers.push_back(Limbs{uint64_t(1) << 32});
  while (powers.size() <= j) powers.push_back(multiply_limbs(powers.back(), powers.back()));
  Limbs high = words_to_limbs(w + k, n - k, powers);
  return add_limbs(multiply_limbs(high, powers[j]), words_to_limbs(w, k, powers));
}

// Decimal digits of a non-zero plain binary value, most significant first.
std::string bits_to_decimal(std::string_view bits) {
  std::vector<uint32_t> words = to_words(bits);
  std::vector<Limbs> powers;
  std::string text;
  append_limbs_text(text, words_to_limbs(words.data(), words.size(), powers));
  return text;
}

std::string fraction_numeral_to_bits(std::string_view numeral) {
  size_t k = 0;
  while (2 + k < numeral.size() && numeral[2 + k] == '0') ++k;
  std::string t;
  set_bit(t, k + 1, true);
  std::string_view rest = numeral.substr(2 + k);
  if (!rest.empty()) t = add_bits(t, shift_bits(decimal_to_bits(rest), k + 2));
  return trim_bits(std::move(t));
}

std::string fraction_bits_to_numeral(const std::string& t) {
  uint64_t i = 1;
  while (!bit_at(t, i)) ++i;
  std::string numeral = "00";
  numeral.append(size_t(i - 1), '0');
  if (int64_t(i) == top_bit(t)) return numeral;
  numeral += bits_to_decimal(shift_bits_down(t, i + 1));
  return numeral;
}

}  // namespace

Limbs bits_to_limbs(std::string_view bits) {
  std::vector<uint32_t> words = to_words(bits);
  std::vector<Limbs> powers;
  return words_to_limbs(words.data(), words.size(), powers);
}

std::string limbs_to_bits(const Limbs& a) {
  if (a.empty()) return "";
  std::string text;
  append_limbs_text(text, a);
  return decimal_to_bits(text);
}

std::string numeral_to_bits(std::string_view numeral) {
  core_assert(!numeral.empty(), 8583);
  if (numeral == "0") return std::string(1, '\x03');
  if (numeral.size() >= 2 && numeral[0] == '0' && numeral[1] == '0')
    return fraction_numeral_to_bits(numeral);
  bool negative = numeral[0] == '0';
  std::string v = decimal_to_bits(negative ? numeral.substr(1) : numeral);
  v = add_small(multiply_small(v, 4), 3);
  if (negative) set_bit(v, 1, false);
  return trim_bits(std::move(v));
}

std::string bits_to_numeral(std::string bits) {
  bits = trim_bits(std::move(bits));
  core_assert(!bits.empty() && bits != std::string(1, '\x01'), 775);
  if (bits == std::string(1, '\x02')) return "00";
  if (bits == std::string(1, '\x03')) return "0";
  if (!bit_at(bits, 0)) return fraction_bits_to_numeral(bits);
  std::string numeral = bits_to_decimal(shift_bits_down(bits, 2));
  if (!bit_at(bits, 1)) numeral.insert(numeral.begin(), '0');
  return numeral;
}
