// Conversions between numerals and tagged bit strings.
#include <algorithm>
#include <string>
#include <vector>

#include "numbers/bits.h"
#include "diagnostics/diagnostics.h"

namespace {

// Decimal conversions run on 32-bit words, nine decimal digits at a time, so that every step
// is one native multiply or divide.
constexpr int kChunkDigits = 9;
constexpr uint64_t kChunkBase = 1000000000;  // 10^9

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

// Binary value of a run of decimal digits.
std::string decimal_to_bits(std::string_view digits) {
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

// Decimal digits of a non-zero plain binary value, most significant first.
std::string bits_to_decimal(std::string_view bits) {
  std::vector<uint32_t> words = to_words(bits);
  while (!words.empty() && words.back() == 0) words.pop_back();
  std::string reversed;
  while (!words.empty()) {
    uint64_t r = 0;
    for (size_t i = words.size(); i-- > 0;) {
      uint64_t v = (r << 32) | words[i];
      words[i] = uint32_t(v / kChunkBase);
      r = v % kChunkBase;
    }
    while (!words.empty() && words.back() == 0) words.pop_back();
    for (int j = 0; j < kChunkDigits; ++j) {
      reversed.push_back(char('0' + r % 10));
      r /= 10;
      if (r == 0 && words.empty()) break;
    }
  }
  return std::string(reversed.rbegin(), reversed.rend());
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
