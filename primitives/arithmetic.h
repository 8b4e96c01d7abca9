// The arithmetic primitives behind `+ - * / % ^`: plus, dash, mult, over, cent, powa.
//
// Each classifies its two arguments by type letter (primitive_arguments.h) and dispatches on the
// pair: integers are exact decimal numerals, reals IEEE doubles, binary fractions exact
// (fractions.h); a real meeting another number turns it into a real, an integer meeting a binary
// fraction becomes one (except `over`, which divides mixed numbers as reals). Texts and data join
// with `+`, are cut (`-`) and repeated (`*`) by an integer count, and two data values make a pair
// with `-`. Anything without a rule, including a zero integer divisor, gives Z.
#pragma once

#include <span>

#include "common/builtin.h"

Term plus(Term application);
Term dash(Term application);
Term mult(Term application);
Term over(Term application);
Term cent(Term application);
Term powa(Term application);

std::span<const BuiltinRow> arithmetic_rows();
