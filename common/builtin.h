// The calling convention of built-in functions.
//
// A built-in receives the whole redex m = (...((name a1) a2) ... an), owns that handle, and
// returns one new term that replaces the redex (it may be a further application). Arguments
// are read back with right_of/left_of: the last argument is right_of(m). The engine calls a
// built-in only when it has exactly its arity of arguments, all in normal form. Wrong kinds of
// argument give the leaf Z; truth values are the leaves K and H.
#pragma once

#include <cstdint>
#include <span>

#include "terms/term.h"

using BuiltinFunction = Term (*)(Term application);
// A quick answer for a two-argument built-in on its argument nodes x and y (both normal), for
// the common kinds of argument; an empty result means the full function is to be called. The
// engine uses it where the application was never built.
using BuiltinPairFunction = Term (*)(Node* x, Node* y);

struct BuiltinRow {
  const char* name;
  uint8_t arity;
  BuiltinFunction function;
  BuiltinPairFunction pair_function = nullptr;
};

// Each family of built-ins exports its rows (primitive_rows, bridge_rows); a library above the
// families installs them into the registry (see builtin_registry.h).
