// Element primitives: cats, copy, cork, look, tail, into.
//
// They treat values as sequences in their own unit: a text as payload bytes, a real as the 64
// bits of its double, a number as the bits of its tagged bit string below the top bit (so
// indexes count from bit 0 and a negative index counts down from the top bit), and data as
// elements (characters and groups of a leaf, and the right children of a pair spine).
//
// `cork` and `tail` change a text in place when nothing but the application being rewritten
// holds it: the built-in then owns the only handle on the application, and the application's
// pair is the text's only other owner.
#pragma once

#include <span>

#include "common/builtin.h"

Term cats(Term application);
Term copy(Term application);
Term cork(Term application);
Term look(Term application);
Term tail(Term application);
Term into(Term application);

std::span<const BuiltinRow> element_rows();
