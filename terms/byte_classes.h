// The character classes of program text and names, for every layer that tests bytes: the
// front end reading text, the engine naming heads, the printer deciding where a space goes.
//
// Blanks are space and line feed. Word characters are a..z and _; digits 0..9. The 27
// operator characters are the 20 binary operators, the 5 affixes and the two wings { }.
// Capitals A..Z, control bytes and bytes from 0x7F are single-byte names of their own.
#pragma once

#include <cstdint>
#include <string_view>

// A set of bytes, usable in constant expressions.
struct ByteSet {
  uint64_t bits[4] = {0, 0, 0, 0};

  constexpr ByteSet() = default;
  constexpr explicit ByteSet(std::string_view chars) {
    for (char c : chars) add(static_cast<unsigned char>(c));
  }
  constexpr void add(unsigned char c) { bits[c >> 6] |= uint64_t(1) << (c & 63); }
  constexpr bool has(unsigned char c) const { return (bits[c >> 6] >> (c & 63)) & 1; }
};

inline constexpr std::string_view kBinaryOperatorChars = "#%&'*+,-./:;<=>?@\\^|";
inline constexpr std::string_view kAffixChars = "~!\"$`";
inline constexpr std::string_view kBracketChars = "()[]{}";
inline constexpr ByteSet kBinaryOperatorSet(kBinaryOperatorChars);
inline constexpr ByteSet kAffixSet(kAffixChars);

constexpr bool is_blank(unsigned char c) { return c == ' ' || c == '\n'; }
constexpr bool is_digit(unsigned char c) { return c >= '0' && c <= '9'; }
constexpr bool is_lower_letter(unsigned char c) { return c >= 'a' && c <= 'z'; }
constexpr bool is_capital(unsigned char c) { return c >= 'A' && c <= 'Z'; }
constexpr bool is_word_char(unsigned char c) { return is_lower_letter(c) || c == '_'; }
// A byte that continues an identifier: a word character or a digit.
constexpr bool is_name_char(unsigned char c) { return is_word_char(c) || is_digit(c); }
constexpr bool is_opener(unsigned char c) { return c == '(' || c == '[' || c == '{'; }
constexpr bool is_closer(unsigned char c) { return c == ')' || c == ']' || c == '}'; }
constexpr bool is_bracket(unsigned char c) { return is_opener(c) || is_closer(c); }
constexpr bool is_binary_operator(unsigned char c) { return kBinaryOperatorSet.has(c); }
constexpr bool is_affix(unsigned char c) { return kAffixSet.has(c); }
// The 27 operator characters: the binary operators, the affixes and the two wings.
constexpr bool is_operator_character(unsigned char c) {
  return is_binary_operator(c) || is_affix(c) || c == '{' || c == '}';
}
