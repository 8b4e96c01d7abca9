// Node storage: pooled pairs and leaves come back whole however their text was changed.
#include "terms/cells.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "terms/term.h"

namespace {

std::string text_of(size_t length, int seed) {
  std::string s(length, '\0');
  for (size_t i = 0; i < length; ++i) s[i] = char('a' + (seed + i) % 26);
  return s;
}

TEST(Cells, LeavesOfEverySizeSurviveReuseAndTextChangedInPlace) {
  std::vector<Term> live;
  for (int round = 0; round < 3; ++round) {
    std::vector<Term> dropped;
    for (size_t length = 0; length < 60; ++length) {
      live.push_back(make_leaf(std::string_view(text_of(length, round))));
      Term t = make_leaf(std::string_view(text_of(length, round + 7)));
      // Built-ins may write into a leaf (NUL bytes included); the pool must not care.
      char* chars = leaf_chars(t.get());
      for (size_t i = 0; i < length; i += 3) chars[i] = '\0';
      dropped.push_back(std::move(t));
    }
    dropped.clear();
  }
  size_t k = 0;
  for (int round = 0; round < 3; ++round) {
    for (size_t length = 0; length < 60; ++length, ++k) {
      ASSERT_EQ(std::string(leaf_chars(live[k].get()), length), text_of(length, round));
      EXPECT_EQ(leaf_chars(live[k].get())[length], '\0');
    }
  }
}

TEST(Cells, PairsAndLeavesAreRecycled) {
  // Far more nodes than one slab or chunk holds, built and dropped in waves.
  for (int wave = 0; wave < 4; ++wave) {
    Term list = make_leaf("0");
    for (int i = 0; i < 200000; ++i) {
      list = make_pair(make_pair(make_leaf("V"), make_leaf(std::to_string(i))), std::move(list));
    }
    Node* n = list.get();
    for (int i = 199999; i >= 0; --i) {
      ASSERT_EQ(leaf_text(pair_right(pair_left(n))), std::to_string(i));
      n = pair_right(n);
    }
  }
}

}  // namespace
