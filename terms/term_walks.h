// Walks over whole terms with an explicit stack instead of native recursion, so that terms of
// any size and nesting are handled; for every layer that needs a whole-term walk.
#pragma once

#include <functional>

#include "terms/term.h"

// Rebuilds a term bottom-up: leaves go through on_leaf, and each pair through on_pair with the
// original pair and its two rebuilt children.
Term rebuild(const Term& t, const std::function<Term(Node* leaf)>& on_leaf,
             const std::function<Term(Node* pair, Term left, Term right)>& on_pair);

// Visits every node once (shared nodes once), parents before children, left before right.
void visit_nodes(Node* root, const std::function<void(Node*)>& visit);
