#include "terms/term_walks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <unordered_map>

namespace {

// f (g x) (h x), with x shared.
Term small_tree() {
  Term x = make_leaf("x");
  return apply2(make_leaf("f"), apply(make_leaf("g"), x), apply(make_leaf("h"), x));
}

std::string leaves_in_order(Node* root) {
  std::string out;
  walk_tree(root, [&](Node* n) {
    if (node_is_leaf(n)) out += std::string(leaf_text(n)) + " ";
    return true;
  });
  return out;
}

TEST(WalkTree, VisitsParentsFirstLeftToRightAndPrunes) {
  Term t = small_tree();
  EXPECT_EQ(leaves_in_order(t.get()), "f g x h x ");
  std::string seen;
  walk_tree(t.get(), [&](Node* n) {
    if (node_is_leaf(n)) seen += leaf_text(n);
    // Do not enter (g x).
    return !(node_is_pair(n) && leaf_is(pair_left(n), "g"));
  });
  EXPECT_EQ(seen, "fhx");
}

TEST(FoldTree, CombinesChildrenAndLetsCallersRememberSharedPairs) {
  Term x = make_leaf("ab");
  Term doubled = make_pair(x, x);
  for (int i = 0; i < 40; ++i) doubled = make_pair(doubled, doubled);
  std::unordered_map<const Node*, uint64_t> shared;
  int combined = 0;
  uint64_t length = fold_tree<uint64_t>(
      doubled.get(),
      [&](const Node* n) -> std::optional<uint64_t> {
        if (node_is_leaf(n)) return leaf_text(n).size();
        if (auto it = shared.find(n); it != shared.end()) return it->second;
        return std::nullopt;
      },
      [&](const Node* n, uint64_t l, uint64_t r) {
        ++combined;
        if (node_refs(n) > 1) shared[n] = l + r;
        return l + r;
      });
  EXPECT_EQ(length, uint64_t(2) << 41);
  EXPECT_EQ(combined, 41);  // each distinct pair once
}

TEST(FoldTree, HandlesSpinesFarDeeperThanTheNativeStack) {
  const int depth = 2'000'000;
  Term left = make_leaf("z");
  Term right = make_leaf("z");
  for (int i = 0; i < depth; ++i) {
    left = make_pair(left, make_leaf("a"));
    right = make_pair(make_leaf("a"), right);
  }
  auto count_leaves = [](const Term& t) {
    return fold_tree<long>(
        t.get(),
        [](const Node* n) -> std::optional<long> {
          return node_is_leaf(n) ? std::optional<long>(1) : std::nullopt;
        },
        [](const Node*, long l, long r) { return l + r; });
  };
  EXPECT_EQ(count_leaves(left), depth + 1);
  EXPECT_EQ(count_leaves(right), depth + 1);
  // The rebuilt copy is equal in shape and its leaves were replaced.
  Term copy = fold_tree<Term>(
      right.get(),
      [](const Node* n) -> std::optional<Term> {
        return node_is_leaf(n) ? std::optional<Term>(make_leaf("b")) : std::nullopt;
      },
      [](const Node*, Term l, Term r) { return make_pair(std::move(l), std::move(r)); });
  EXPECT_EQ(count_leaves(copy), depth + 1);
  EXPECT_TRUE(leaf_is(left_of(copy), "b"));
  // Freeing deep terms must not recurse either.
  left = Term();
  right = Term();
  copy = Term();
}

// Writes a term as "(l r)" at every pair, through the three points of the walk.
std::string bracketed(const Node* root) {
  std::string out;
  walk_in_order(root, [&](const Node* n, WalkStep where) {
    switch (where) {
      case WalkStep::leaf: out += leaf_text(n); break;
      case WalkStep::enter: out += '('; break;
      case WalkStep::between: out += ' '; break;
      case WalkStep::leave: out += ')'; break;
    }
    return true;
  });
  return out;
}

TEST(WalkInOrder, StepsThroughEveryPointOfEveryPair) {
  EXPECT_EQ(bracketed(small_tree().get()), "((f (g x)) (h x))");
  EXPECT_EQ(bracketed(make_leaf("x").get()), "x");
}

TEST(WalkInOrder, FollowsAnEncodedTreeAndStopsWhenAStepSaysSo) {
  // The tree ((T a) b) has halves a and b; T itself is never visited.
  auto t_pair = [](Term a, Term b) { return apply2(make_leaf("T"), std::move(a), std::move(b)); };
  auto split = [](const Node* n, const Node*& l, const Node*& r) {
    if (!node_is_pair(n) || !node_is_pair(pair_left(n)) || !leaf_is(pair_left(pair_left(n)), "T"))
      return false;
    l = pair_right(pair_left(n));
    r = pair_right(n);
    return true;
  };
  Term tree = t_pair(t_pair(make_leaf("a"), make_leaf("b")), make_pair(make_leaf("c"), make_leaf("d")));
  std::string seen;
  auto record = [&](const Node* n, WalkStep where) {
    if (where == WalkStep::leaf) seen += node_is_leaf(n) ? std::string(leaf_text(n)) : "<pair>";
    if (where == WalkStep::between) seen += '|';
    return true;
  };
  EXPECT_TRUE(walk_in_order(tree.get(), split, record));
  EXPECT_EQ(seen, "a|b|<pair>");  // (c d) is no pair of the encoded tree
  seen.clear();
  int leaves = 0;
  EXPECT_FALSE(walk_in_order(tree.get(), split, [&](const Node* n, WalkStep where) {
    record(n, where);
    return where != WalkStep::leaf || ++leaves < 2;
  }));
  EXPECT_EQ(seen, "a|b");  // nothing after the refusing step
}

TEST(WalkInOrder, HandlesSpinesFarDeeperThanTheNativeStack) {
  const int depth = 2'000'000;
  Term t = make_leaf("z");
  for (int i = 0; i < depth; ++i) t = make_pair(make_leaf("a"), std::move(t));
  long enters = 0;
  long leaves = 0;
  long balance = 0;
  long deepest = 0;
  walk_in_order(t.get(), [&](const Node*, WalkStep where) {
    if (where == WalkStep::enter) deepest = std::max(deepest, ++balance), ++enters;
    if (where == WalkStep::leave) --balance;
    if (where == WalkStep::leaf) ++leaves;
    return true;
  });
  EXPECT_EQ(enters, depth);
  EXPECT_EQ(leaves, depth + 1);
  EXPECT_EQ(balance, 0);
  EXPECT_EQ(deepest, depth);
  t = Term();
}

}  // namespace
