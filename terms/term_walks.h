// Walks over whole terms with an explicit stack instead of native recursion, so that terms of
// any size and nesting are handled; for every layer that needs a whole-term walk.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "terms/term.h"

// Folds a term bottom-up. `known(n)` gives a node's value without descending into it, or
// nothing: it must answer for every leaf, and may answer for a pair (from a cache, from the
// header). `combine(pair, left, right)` gives a pair's value from its children's values.
// Callers that remember shared pairs do it in these two functions. `known` is asked once per
// node occurrence in pre-order (parents first, left before right) and `combine` runs in
// post-order, so a caller may keep its own stack that `known` pushes for a pair and `combine`
// pops.
template <class V, class Known, class Combine>
V fold_tree(const Node* root, Known&& known, Combine&& combine) {
  struct Frame {
    const Node* node;
    bool children_done;
  };
  std::vector<Frame> frames;  // right halves still to fold, and pairs waiting for theirs
  std::vector<V> values;
  const Node* next = root;  // the left half to go down into, if any
  for (;;) {
    if (next) {
      if (std::optional<V> value = known(next)) {
        values.push_back(std::move(*value));
      } else {
        frames.push_back({next, true});
        frames.push_back({pair_right(next), false});
        next = pair_left(next);
        continue;
      }
    }
    if (frames.empty()) break;
    Frame f = frames.back();
    frames.pop_back();
    if (!f.children_done) {
      next = f.node;
      continue;
    }
    next = nullptr;
    V right = std::move(values.back());
    values.pop_back();
    values.back() = combine(f.node, std::move(values.back()), std::move(right));
  }
  return std::move(values.back());
}

// Visits nodes parents first, left before right; a pair's children are visited only when
// `visit` returns true for it (what it returns for a leaf is ignored).
template <class N, class Visit>
void walk_tree(N* root, Visit&& visit) {
  std::vector<N*> rights;  // right halves still to visit, innermost last
  N* n = root;
  for (;;) {
    if (visit(n) && node_is_pair(n)) {
      rights.push_back(pair_right(n));
      n = pair_left(n);
      continue;
    }
    if (rights.empty()) return;
    n = rights.back();
    rights.pop_back();
  }
}

// Where an in-order walk stands at a node.
enum class WalkStep : uint8_t {
  leaf,     // at a node that is not split
  enter,    // at a pair, before its left half
  between,  // after its left half, before its right half
  leave,    // after its right half
};

// Visits a tree depth-first, left before right, calling `step(node, where)` at a leaf and at
// the three points of a pair. `split(node, left, right)` says whether the node is a pair of
// the tree being walked and gives its halves, so a walk may follow a tree encoded in terms
// (a pair of it being several term pairs). A step that returns false stops the walk, which
// then returns false.
template <class Split, class Step>
bool walk_in_order(const Node* root, Split&& split, Step&& step) {
  struct Frame {
    const Node* node;
    const Node* right;
    bool left_done;
  };
  std::vector<Frame> frames;  // the pairs entered and not yet left, innermost last
  const Node* next = root;    // the node to go down into, if any
  for (;;) {
    if (next) {
      const Node* left = nullptr;
      const Node* right = nullptr;
      if (split(next, left, right)) {
        if (!step(next, WalkStep::enter)) return false;
        frames.push_back({next, right, false});
        next = left;
        continue;
      }
      if (!step(next, WalkStep::leaf)) return false;
      next = nullptr;
    }
    if (frames.empty()) return true;
    Frame& f = frames.back();
    if (!f.left_done) {
      f.left_done = true;
      if (!step(f.node, WalkStep::between)) return false;
      next = f.right;
    } else {
      const Node* n = f.node;
      frames.pop_back();
      if (!step(n, WalkStep::leave)) return false;
    }
  }
}

// The same over the term's own pairs.
template <class Step>
bool walk_in_order(const Node* root, Step&& step) {
  return walk_in_order(
      root,
      [](const Node* n, const Node*& left, const Node*& right) {
        if (!node_is_pair(n)) return false;
        left = pair_left(n);
        right = pair_right(n);
        return true;
      },
      step);
}
