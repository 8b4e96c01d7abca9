// Operator-precedence parser: one normalised piece of program text to a term.
//
// Every operator becomes an application of the one-byte name leaf that spells it: "a+b" is
// ((+ a) b), a space is plain application (a b), a line feed pipes: "a\nb" is (b a). A let
// "x{v}b" is ((({ x) v) b); brace items "i1,i2,i3" are ((, i1) ((, i2) i3)); a call
// "f(x,y)" is ((f x) y) and "f()" is (f }); the empty text is the leaf "}". Fourteen levels,
// loosest first: 0 "," 1 ";\{" 2 "?\n" 3 "&|" 4 "=<>#" 5 "@ " 6 "+-:." 7 "*/%'" 8 "^",
// then affixes after a word, before it and inside it, and juxtaposition of words.
//
// The text is expected to have passed the bracket check and blank normalisation; every text
// has a parse and there are no error results. Work is done on ranges of one indexed text.
#pragma once

#include <cstdint>
#include <string_view>

#include "terms/term.h"
#include "frontend/program_text.h"

struct LeafCache;

// While one lives, the parses on this thread share their short leaves (operator bytes, "}",
// plain words of up to three bytes) with each other; every parse shares them within itself.
// A program's definitions are parsed under one. Nesting uses the outermost.
class SharedLeaves {
 public:
  SharedLeaves();
  ~SharedLeaves();
  SharedLeaves(const SharedLeaves&) = delete;
  SharedLeaves& operator=(const SharedLeaves&) = delete;

 private:
  LeafCache* owned_ = nullptr;
};

// The whole grammar but the comma level: definitions, parenthesised groups, call arguments.
Term parse_expression(std::string_view text);
// The comma level, for the text between a "{" and its partner.
Term parse_brace_items(std::string_view text);

// The same on the range [begin, end) of an indexed text.
Term parse_expression(const TextIndex& x, int64_t begin, int64_t end);
Term parse_brace_items(const TextIndex& x, int64_t begin, int64_t end);
