#include "eval/frame_stack.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Frames keep their side and their reference through growth, exchange and truncation.
TEST(FrameStack, KeepsSidesAndReferencesThroughGrowth) {
  std::vector<Term> leaves;
  for (int i = 0; i < 1000; ++i) leaves.push_back(make_leaf(std::to_string(i)));
  {
    FrameStack frames;
    for (int i = 0; i < 1000; ++i) frames.push(i % 3 == 0, leaves[size_t(i)]);
    ASSERT_EQ(frames.size(), 1000u);
    for (int i = 0; i < 1000; ++i) {
      EXPECT_EQ(frames[size_t(i)].term(), leaves[size_t(i)].get());
      EXPECT_EQ(frames[size_t(i)].argument(), i % 3 == 0);
      EXPECT_EQ(node_refs(leaves[size_t(i)].get()), 2u);
    }
    Term old = frames.exchange_top(true, leaves[0]);
    EXPECT_EQ(old.get(), leaves[999].get());
    EXPECT_TRUE(frames.back().argument());
    EXPECT_EQ(node_refs(leaves[0].get()), 3u);
    frames.truncate(500);
    EXPECT_EQ(frames.size(), 500u);
    EXPECT_EQ(node_refs(leaves[0].get()), 2u);
    EXPECT_EQ(node_refs(leaves[600].get()), 1u);
    Term top = frames.pop();
    EXPECT_EQ(top.get(), leaves[499].get());
  }
  // The stack gave back every reference it held.
  for (const Term& t : leaves) EXPECT_EQ(node_refs(t.get()), 1u);
}

}  // namespace
