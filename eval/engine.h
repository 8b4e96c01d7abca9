// The reduction engine: rewrites a closed term to normal form.
//
// The machine state is a focus (the subterm being worked on) and a context that says how to
// rebuild the surrounding term. The context is kept as a stack of frames, each standing for the
// combinator frames of the classic machine:
//   (T a)  argument frame: the finished focus is applied to a
//   f      function frame: f is applied to the finished focus
// Heads outside the lazy set have all their arguments normalised, left to right, before they are
// rewritten; lazy heads (K, H, V, ...) are rewritten at once.
//
// Machine fields: frames (the context, innermost last), focus, args (the spine arguments of the
// head being rewritten, first argument first, borrowed from the focus), params (the parameter
// letters of the definition being entered), names (each name's resolution, built-in function
// or definition-table slot, cached for the run).
//
// Two leaf kinds exist only inside a reduction, and their first byte keeps them apart from
// every name a program can write:
//   "]" + name   memo marker: (("]" name) d) reduces d to normal form, stores it as the value of
//                the parameterless definition name (abstractions behind I) and sets its
//                memo flag to 1; the flag is 0 while the value is being computed
//   ")" + name   cycle marker: the result when name's value needs itself; it prints as "()"
#pragma once

#include <cstdint>

#include "terms/term.h"

// Normal form of t (consumed). A definition that needs its own value ends the reduction with
// the cycle marker leaf ")" + name.
Term reduce(Term t);

// Replaces the free occurrences of the variable letter in body by value (sharing unchanged
// subterms); assertion 7160 for a letter outside a..z.
Term substitute(const Term& body, const Term& value, char letter);
// Substitutes closed values for several letters at once: values[i] for the letter 'a' + i of
// every bit i set in `letters`.
Term substitute_letters(Node* body, uint32_t letters, Node* const values[26]);

// Reduction steps taken since the start of the process (for benchmarks).
uint64_t reduction_steps();
