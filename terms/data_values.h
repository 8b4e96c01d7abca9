// Data values: bracketed byte strings used as lists of characters and nested groups.
//
// A data value is a '[' leaf or a pair of two data values. A leaf's text is "[" elements "]",
// each element one character or a bracketed group "[...]" with balanced brackets inside; "[]"
// is the empty value. A pair stands for its left value followed by its right value, so its
// content bytes are the left content then the right content.
//
// Halves: a pair's halves are its children; a leaf's right half is its last element and its
// left half the leaf of the elements before it. A single character taken out of a leaf becomes
// that character's data form: the bracket tree of a number (a tree of nested "[]" only), so
// that repeated halving of any data value ends in "[]".
//
// Character forms: a data text writes byte value b as the character b, except that NUL is
// written as a line feed (as program text writes it) and line feed, '[' and ']' are written
// as the groups "[p]", "[q]" and "[r]". So the character c stands for the byte value b with
// NUL and line feed exchanged, and its form is the bracket tree of b + 145. A raw NUL, which
// `rows` of a text writes for the byte NUL, stands for a line feed. The characters '[' and ']'
// have no form (they never stand alone in well-formed data).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "terms/term.h"
#include "terms/term_walks.h"

// True for a '[' leaf or a pair of two data values. An analysed node answers from its tag
// ((tag & 0x7F) == 0x40); an unanalysed one by its shape.
bool is_data_value(const Node* n);
inline bool is_data_value(const Term& t) { return is_data_value(t.get()); }
// The leaf "[]".
bool is_empty_data(const Node* n);

// The content bytes: a leaf's text without its first and last byte; a pair's left content
// followed by its right content. A value too large for memory is reported as out of memory.
std::string flatten(const Node* data);
// The content a piece at a time, in order, until visit(piece) returns false. Walks only as far
// as the visitor asks, so a value built by pairing a value with itself, whose content may be
// far larger than memory, can be questioned about its first bytes.
template <class Visit>
void for_each_content_piece(const Node* data, Visit&& visit);
// At most max_bytes of the content from its start.
std::string flatten_prefix(const Node* data, size_t max_bytes);
// The byte order of two contents (unsigned bytes, a prefix first): -1, 0 or 1. Stops at the
// first difference, and steps over a node that both walks reach at the same point.
int compare_data(const Node* a, const Node* b);
inline std::string flatten(const Term& data) { return flatten(data.get()); }
// The leaf "[" + bytes + "]".
Term make_data(std::string_view bytes);
// The value as one '[' leaf: a leaf itself, a pair joined.
Term join_data(const Term& data);

struct DataHalves {
  Term left;
  Term right;
};
// Assertion 964 for "[]" (or a leaf with no content); 959 for a last character without a form.
DataHalves data_halves(const Term& data);

// The extent when above 1; else a leaf's text length (brackets included) or the sum over a
// pair's children.
uint64_t data_length(const Node* data);
inline uint64_t data_length(const Term& data) { return data_length(data.get()); }

// Elements: one per right child down the left spine of the pairs, plus the elements of the
// leftmost leaf, in order.
uint64_t data_element_count(const Node* data);
inline uint64_t data_element_count(const Term& data) { return data_element_count(data.get()); }
// Element k from 0: a group as its data leaf, a character as its form, a right child of the
// spine as it stands. An empty handle past the last element.
Term data_element(const Term& data, uint64_t k);

// The bracket tree of a in 0..676 (assertion 9407 above).
std::string bracket_tree(unsigned a);
// The data form of a single character of a data text; an empty handle when it has none.
// The table is built once, on first use.
Term char_data_form(unsigned char c);

// The bytes between a leaf's opening and closing bracket (nothing for a leaf shorter than 2).
inline std::string_view data_leaf_content(const Node* leaf) {
  std::string_view text = leaf_text(leaf);
  if (text.size() < 2) return {};
  return text.substr(1, text.size() - 2);
}

template <class Visit>
void for_each_content_piece(const Node* data, Visit&& visit) {
  bool more = true;
  walk_tree(data, [&](const Node* x) {
    if (!more) return false;  // the visitor has seen enough: step over what is left
    if (node_is_leaf(x)) {
      std::string_view piece = data_leaf_content(x);
      if (!piece.empty()) more = visit(piece);
    }
    return true;
  });
}
