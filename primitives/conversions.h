// Conversion primitives: init (to a text), rows (to data), lots (to a bit list), lord (to an
// exact number or character code).
//
// Between texts and data, a text byte b is written in data as the character b, except line
// feed, '[' and ']' as the groups "[p]", "[q]" and "[r]" and NUL as a line feed (a data
// character stands for its byte with NUL and line feed exchanged); `init` reads data back the
// same way, so text -> rows -> init returns the same bytes.
//
// Beyond the plain kinds, `rows` turns the J-tree form a data value takes when applied to V,
// ((V (X J)) j), back into that data value, and `init` turns the byte tree a one-byte text
// takes when applied back into that text (shapes.h).
#pragma once

#include <span>

#include "common/builtin.h"

Term init(Term application);
Term rows(Term application);
Term lots(Term application);
Term lord(Term application);

std::span<const BuiltinRow> conversion_rows();
