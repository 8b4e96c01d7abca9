// Substitution plans for definition bodies.
//
// Applying a definition replaces its parameters in its body. The body never changes, so the
// walk that finds where the parameters occur is done once: a plan lists, in post-order, the
// nodes of the body's spine that hold a parameter. Running the plan copies exactly those
// pairs, puts the arguments at the parameters' places and shares every other subterm, giving
// the same term, node for node, as substituting the letters one by one.
#pragma once

#include <cstdint>
#include <vector>

#include "terms/term.h"

struct PreparedBody {
  size_t parameters = 0;  // leading abstractions the body sits under
  Term body;              // the term under them
  // Post-order steps: a node of the body to share (low bits 0), an argument index shifted
  // left by two (low bits 1), or a pair of the last two results (the value 2).
  std::vector<uintptr_t> plan;
  size_t depth = 0;  // the most results held at once while the plan runs
  // One per pair step: the analysis bits of that pair when every argument is normal, or 0
  // where they depend on which arguments come (an argument at a function's place).
  std::vector<uint64_t> headers;
  // With every argument normal, the result's spine applications the engine would take apart
  // at once (the root and its function sides while each is over-applied); bit 0 of their
  // header entries marks them.
  size_t spine_apart = 0;
};

// The plan of a definition with at least one leading abstraction.
PreparedBody prepare_body(const Term& definition);
// The plan of replacing one letter in body (a lambda's or a let's), as substitute does.
PreparedBody prepare_single(Node* body, char letter);
// The body with arguments[i] for parameter i (first parameter first); the arguments are
// closed and there are at least `parameters` of them.
Term run_prepared(const PreparedBody& prepared, Node* const* arguments);
// The same, except that when every argument is normal the marked spine applications are not
// built: the head comes back and the spine's arguments, first argument first, are appended to
// `apart`, each with its reference passing to the caller.
Term run_prepared_apart(const PreparedBody& prepared, Node* const* arguments,
                        std::vector<Node*>& apart);
