// The reduction engine: rewrites a closed term to normal form.
//
// The machine state is a focus (the subterm being worked on) and a context that says how to
// rebuild the surrounding term. The context is kept as a stack of frames, each standing for the
// combinator frames of the classic machine:
//   (T a)  argument frame: the finished focus is applied to a
//   f      function frame: f is applied to the finished focus
// Heads outside the lazy set have all their arguments normalised, left to right, before they are
// rewritten; lazy heads (K, H, V, ...) are rewritten at once.
#pragma once

#include <cstdint>

#include "terms/term.h"

// Normal form of t (consumed). A definition that needs its own value ends the reduction with
// the cycle marker leaf ")" + name.
Term reduce(Term t);

// Replaces the free occurrences of the variable letter in body by value (sharing unchanged
// subterms); assertion 7160 for a letter outside a..z.
Term substitute(const Term& body, const Term& value, char letter);

// Reduction steps taken since the start of the process (for benchmarks).
uint64_t reduction_steps();
