// Structural primitives: type, rank, real, leak, raws, lisp, tern, leaf, left, rght.
//
// They inspect values without evaluating them: the type name of a value (a data leaf such as
// "[hint]"), its length, its conversion to a real, the identity of its node, its printed form
// as data, its canonical interned copy, and the emptiness and halves of data.
//
// `leaf`, `left` and `rght` also take apart the pairs that the prelude builds:
//   ((V (X J)) j)   a data value applied to V: j is its J tree (K empty, ((J l) r) the halves
//                   l and r); leaf tells K or H, left and rght give ((V (X J)) l) and
//                   ((V (X J)) r), and the empty list has no halves (Z)
//   ((V a) b)       any other V pair: leaf H, left a, rght b
//   ((J a) b)       a list cell (bit lists, J trees): leaf H, left a, rght b
// Every other shape gives Z.
#pragma once

#include <span>

#include "common/builtin.h"

Term type(Term application);
Term rank(Term application);
Term real(Term application);
Term leak(Term application);
Term raws(Term application);
Term lisp(Term application);
Term tern(Term application);
Term leaf(Term application);
Term left(Term application);
Term rght(Term application);

std::span<const BuiltinRow> structural_rows();
