// Program text: byte classes, blank normalisation, bracket groups, words and atoms.
//
// Program text is a plain byte string with no token stream. Positions are zero-based byte
// indices (int64_t). Every byte is in exactly one class: blank (space, line feed), bracket
// ( ) [ ] { }, binary operator, affix operator, word character (a..z, _), digit, or single
// (everything else: capitals, NUL, control bytes, 0x7F..0xFF), which is a word of its own.
// A "[...]" group is a data literal: inside it only [ and ] nest, everything else is opaque.
//
// TextIndex pairs one text with the partner of each of its brackets, found once, so that the
// parser can skip a whole group in constant time while it re-scans the text at every level.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "terms/byte_classes.h"
#include "terms/term.h"

enum class ByteClass { Blank, Bracket, BinaryOperator, Affix, WordChar, Digit, Single };

ByteClass byte_class(unsigned char c);

// The 33 bytes that are neither word characters, digits nor singles.
bool is_special(unsigned char c);
inline bool is_single(unsigned char c) { return byte_class(c) == ByteClass::Single; }
// Binary operators and blanks: blank space next to them never matters.
bool is_blank_absorbing(unsigned char c);

// Trims blank space and collapses every other run of it to one space or one line feed, or
// drops it next to operators and braces; data literals keep inner spaces but lose line feeds.
std::string normalize_blanks(std::string_view text);

// Partner of the bracket at position (the position itself for any other byte). Parentheses and
// braces are counted together; data literals met on the way are skipped whole. The walk must
// stay inside the text: assertions 5206 (before the start), 5207 (past the end) and 5215 (a
// literal met on the way closes against the direction of the walk).
int64_t matching_bracket(std::string_view text, int64_t position);

// Ascending positions of bytes of the set that stand outside every bracket group.
std::vector<int64_t> operator_positions(std::string_view text, const ByteSet& set);

// First position at or after start holding a byte of the set outside every group, or -1.
int64_t affix_position(std::string_view text, int64_t start, const ByteSet& set);

// Where the words of a juxtaposition begin; position 0 always does.
std::vector<int64_t> word_starts(std::string_view text);

// The leaf (or, for a parenthesised word, the parsed expression) that a word stands for.
Term make_atom(std::string_view word);

// Five digits of the 64-symbol alphabet, most significant first; 0x40000000 is "!!!!!".
// Any other position outside 0..0x3FFFFFFF is assertion 7663.
std::string position_code(int64_t position);

struct TextIndex {
  std::string_view text;
  // For a bracket with a partner, the partner's position; for every other byte (and for a
  // bracket left unpaired) its own position. Pairs follow the bracket check: literals are
  // opaque and a closer only pairs with an opener of its own kind.
  std::vector<int64_t> partner;
};

TextIndex index_text(std::string_view text);

// True when the byte at position opens a group whose partner lies before end.
inline bool opens_group(const TextIndex& x, int64_t position, int64_t end) {
  int64_t p = x.partner[size_t(position)];
  return p > position && p < end;
}
// True when the byte at position closes a group whose partner lies at or after begin.
inline bool closes_group(const TextIndex& x, int64_t position, int64_t begin) {
  int64_t p = x.partner[size_t(position)];
  return p < position && p >= begin;
}

// The same operations on the range [begin, end) of an indexed text; positions are absolute.
std::vector<int64_t> operator_positions(const TextIndex& x, int64_t begin, int64_t end,
                                        const ByteSet& set);
int64_t affix_position(const TextIndex& x, int64_t start, int64_t end, const ByteSet& set);
std::vector<int64_t> word_starts(const TextIndex& x, int64_t begin, int64_t end);
// Start of the word after the one that starts at word (end when that is the last word).
int64_t next_word_start(const TextIndex& x, int64_t word, int64_t end);
Term make_atom(const TextIndex& x, int64_t begin, int64_t end);
