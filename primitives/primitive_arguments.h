// Shared reading of primitive arguments.
//
// Every value a primitive meets gets one type letter, tested in this order:
//   'e' real                a leaf starting with a space (space + 8 raw bytes of a double)
//   'a' text                a leaf starting with "(" (counted byte string)
//   'u' data                a "[" leaf or a pair of data values
//   'i' integer             a number leaf not starting with "00", or a bit list ((J K) r)
//   'o' binary fraction     a number leaf starting with "00", or a bit list ((J H) r)
//   'w' anything else       names, functions, other pairs, the bare leaves K, H and Z
// Bit lists count only when the whole list reads as a number; a list with a broken tail is
// 'w', so that no later integer reading of it can fail. The letters order the types where
// ordering needs one: a < e < i < o < u.
//
// Results are fresh leaves: K (true), H (false), Z (error, absorbs every argument) and I
// (no result).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "terms/term.h"

// The type letters by name; plain chars, so they order as the letters do.
inline constexpr char kTypeText = 'a';
inline constexpr char kTypeReal = 'e';
inline constexpr char kTypeInteger = 'i';
inline constexpr char kTypeFraction = 'o';
inline constexpr char kTypeData = 'u';
inline constexpr char kTypeOther = 'w';

char type_letter(const Node* n);
inline char type_letter(const Term& t) { return type_letter(t.get()); }
// The data leaf that `type` answers for a letter: "[post]", "[real]", "[hint]", ...
const char* type_name(char letter);

Term k_leaf();
Term h_leaf();
Term z_leaf();
Term i_leaf();
inline Term truth(bool b) { return b ? k_leaf() : h_leaf(); }

// Arguments of a saturated application: for ((f x) y), first is x and second is y.
struct TwoArgs {
  Term x, y;
};
struct ThreeArgs {
  Term x, y, z;
};
Term only_arg(const Term& application);
TwoArgs two_args(const Term& application);
ThreeArgs three_args(const Term& application);

// The signed numeral of an integer argument. A numeral leaf is viewed in place (no copy of a
// long numeral); a bit list is converted. Assertion 4801 when the term is no integer value.
struct IntegerText {
  std::string owned;
  std::string_view text;
  bool non_negative() const { return text.size() < 2 || text[0] != '0'; }
  // The digits without the sign zero ("0" stays "0").
  std::string_view magnitude() const { return non_negative() ? text : text.substr(1); }
};
IntegerText integer_text(const Term& t);

// A numeric argument (real, integer or binary fraction) as a double; anything else is the fatal
// "truecast".
double real_operand(const Term& t, char letter);

// Unsigned byte order; on a common prefix the shorter is first. -1, 0 or 1.
int compare_bytes(std::string_view a, std::string_view b);

// How a data text writes the byte b of a text: line feed, '[' and ']' as the groups "[p]",
// "[q]" and "[r]", every other byte (NUL included) as itself.
void append_data_char(std::string& out, unsigned char b);

// The bare leaf `K` also counts as the integer zero wherever a number is read.
bool is_bare_k(const Node* n);
