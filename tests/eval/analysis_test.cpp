#include "eval/analysis.h"

#include <gtest/gtest.h>

#include "frontend/definitions.h"

namespace {

// The analysis bits of a fresh leaf of text s.
uint64_t leaf_analysis(const char* s) {
  Term t = make_leaf(s);
  analyse(t);
  return t.get()->header & ~kRefsMask;
}

Term lam(const char* letter, Term body) {
  return make_pair(make_pair(make_leaf("\\"), make_leaf(letter)), std::move(body));
}

TEST(RunAnalysis, OneByteLeavesMatchTheirAnalysisOutsideARun) {
  load_prelude();
  const char* texts[] = {"K", "H", "+", "x", "z", "5", "\\", "{", "\x01", "\x7F", "", "V"};
  uint64_t outside[std::size(texts)];
  for (size_t i = 0; i < std::size(texts); ++i) outside[i] = leaf_analysis(texts[i]);
  begin_run_analysis();
  for (int round = 0; round < 2; ++round) {  // the first analyses, the second copies
    for (size_t i = 0; i < std::size(texts); ++i) {
      EXPECT_EQ(leaf_analysis(texts[i]), outside[i]) << int(texts[i][0]) << " round " << round;
    }
  }
  end_run_analysis();
}

TEST(RunAnalysis, BindersAreFoundWithinARun) {
  load_prelude();
  begin_run_analysis();
  // (\x. x y): y alone is free; (\x. K x): nothing is free and no redex is inside.
  Term open = lam("x", make_pair(make_leaf("x"), make_leaf("y")));
  EXPECT_EQ(free_variables(open), 1u << ('y' - 'a'));
  Term closed = lam("x", make_pair(make_leaf("K"), make_leaf("x")));
  EXPECT_EQ(free_variables(closed), 0u);
  EXPECT_FALSE(node_inner(closed.get()));
  // A let binds its letter in its body only: x{y}x has y free, x{x}x has x free.
  auto let = [](const char* v) {
    return make_pair(make_pair(make_pair(make_leaf("{"), make_leaf("x")), make_leaf(v)),
                     make_leaf("x"));
  };
  EXPECT_EQ(free_variables(let("y")), 1u << ('y' - 'a'));
  EXPECT_EQ(free_variables(let("x")), 1u << ('x' - 'a'));
  // Pairs of other arities are not mistaken for binders.
  Term plain = make_pair(make_pair(make_leaf("S"), make_leaf("x")), make_leaf("y"));
  EXPECT_EQ(free_variables(plain), (1u << ('x' - 'a')) | (1u << ('y' - 'a')));
  end_run_analysis();
}

}  // namespace
