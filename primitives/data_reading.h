// Element-wise reading of data values for the element and conversion primitives.
//
// A data leaf's content (its text without the outer brackets) is a run of elements: single
// characters and bracketed groups "[...]". A data pair is a left spine of pairs whose right
// children count as one element each, ending in a leaf whose elements come first. A character
// c stands for the byte value c with NUL and line feed exchanged; the groups "[p]", "[q]" and
// "[r]" stand for line feed, '[' and ']'.
//
// A J tree is what a data value becomes when it is applied to a function: K for the empty
// value, ((J l) r) for the value whose halves are l and r. Decoding it gives back the data
// text: a right half that is a character's data form turns back into that character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "terms/term.h"

struct Span {
  size_t start;
  size_t end;
};
// Elements of a leaf's content, in order. An unclosed group runs to the end.
std::vector<Span> element_spans(std::string_view content);
// The data value of one element: a group as its data leaf, a character as its data form
// (assertion 959 for a character without one).
Term element_value(std::string_view element);

// The elements of a data value without reading them: the spans of its leftmost leaf, then the
// right children of its left spine. The bytes an element contributes to the flattened value
// are a character or a whole group "[...]" of the leaf, or the flattened content of a right
// child; only the elements asked for are flattened.
struct DataElements {
  std::string_view content;         // of the leftmost leaf
  std::vector<Span> spans;          // its elements
  std::vector<const Node*> rights;  // right children of the spine, last element first
  uint64_t count() const { return spans.size() + rights.size(); }
};
DataElements data_elements(const Term& data);
// The flattened bytes of elements [start, start + n), which must exist.
std::string element_slice_bytes(const DataElements& elements, uint64_t start, uint64_t n);

// The byte that the first element of a data value stands for: line feed, '[' or ']' for the
// groups "[p]", "[q]", "[r]", '!' for the empty value and any other group.
unsigned char data_first_byte(const Term& data);

// Appends the content of the data value a J tree encodes; false when the term is no J tree.
bool decode_j_tree(const Node* j, std::string& content);
