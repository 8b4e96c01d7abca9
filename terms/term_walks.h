// Walks over whole terms with an explicit stack instead of native recursion, so that terms of
// any size and nesting are handled; for every layer that needs a whole-term walk.
#pragma once

#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "terms/term.h"

// Folds a term bottom-up. `known(n)` gives a node's value without descending into it, or
// nothing: it must answer for every leaf, and may answer for a pair (from a cache, from the
// header). `combine(pair, left, right)` gives a pair's value from its children's values.
// Callers that remember shared pairs do it in these two functions.
template <class V, class Known, class Combine>
V fold_tree(const Node* root, Known&& known, Combine&& combine) {
  struct Frame {
    const Node* node;
    bool children_done;
  };
  std::vector<Frame> frames{{root, false}};
  std::vector<V> values;
  while (!frames.empty()) {
    Frame f = frames.back();
    frames.pop_back();
    if (f.children_done) {
      V right = std::move(values.back());
      values.pop_back();
      values.back() = combine(f.node, std::move(values.back()), std::move(right));
      continue;
    }
    if (std::optional<V> value = known(f.node)) {
      values.push_back(std::move(*value));
      continue;
    }
    frames.push_back({f.node, true});
    frames.push_back({pair_right(f.node), false});
    frames.push_back({pair_left(f.node), false});
  }
  return std::move(values.back());
}

// Visits nodes parents first, left before right; a pair's children are visited only when
// `visit` returns true for it (what it returns for a leaf is ignored).
template <class Visit>
void walk_tree(Node* root, Visit&& visit) {
  std::vector<Node*> stack{root};
  while (!stack.empty()) {
    Node* n = stack.back();
    stack.pop_back();
    if (visit(n) && node_is_pair(n)) {
      stack.push_back(pair_right(n));
      stack.push_back(pair_left(n));
    }
  }
}

// Rebuilds a term bottom-up: leaves go through on_leaf, and each pair through on_pair with the
// original pair and its two rebuilt children.
Term rebuild(const Term& t, const std::function<Term(Node* leaf)>& on_leaf,
             const std::function<Term(Node* pair, Term left, Term right)>& on_pair);

// Visits every node once (shared nodes once), parents before children, left before right.
void visit_nodes(Node* root, const std::function<void(Node*)>& visit);
