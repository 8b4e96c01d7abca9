// Comparison and sign primitives: less (`<`), gteq (`>`), same (`=`), diff (`#`), cmpr, and the
// one-argument buck (`$`) and wave (`~`).
//
// Values of different types order by their type letters (text < real < integer < binary
// fraction < data); within a type texts and data compare their bytes, numbers their values.
// Reals compare as the machine does, so NaN is neither less nor greater-or-equal. Equality
// holds first for the very same node, whatever it is. `cmpr` reports the structural order of
// two terms as 1 (x first), 0 or -1. `buck` reads the sign of a number, the first byte of a
// text or the left half of data; `wave` negates a number, drops the first byte of a text or
// takes the right half of data.
#pragma once

#include <span>

#include "common/builtin.h"

Term less(Term application);
Term gteq(Term application);
Term same(Term application);
Term diff(Term application);
Term cmpr(Term application);
Term buck(Term application);
Term wave(Term application);

std::span<const BuiltinRow> comparison_rows();
