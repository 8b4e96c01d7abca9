#include "terms/term.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Header, FreshLeavesCarryKindExtentAndTag) {
  Term number = make_leaf("123");
  EXPECT_EQ(tag_byte(number.get()), 0x80u);
  EXPECT_EQ(node_extent(number.get()), 3u);
  EXPECT_EQ(node_refs(number.get()), 1u);
  Term name = make_leaf("abc");
  EXPECT_EQ(node_extent(name.get()), 0u);
  Term bracket = make_leaf("[");
  EXPECT_EQ(node_extent(bracket.get()), 1u);
  EXPECT_TRUE(is_leaf(number));
  EXPECT_LT(static_cast<int64_t>(number.get()->header), 0);
}

TEST(Header, PairTakesReferencesOnItsChildren) {
  Term a = make_leaf("a");
  Term b = make_leaf("b");
  Term p = make_pair(a, b);  // copies: a and b are still held here
  EXPECT_EQ(tag_byte(p.get()), 0x00u);
  EXPECT_EQ(node_extent(p.get()), 0u);
  EXPECT_EQ(node_refs(p.get()), 1u);
  EXPECT_EQ(node_refs(a.get()), 2u);
  a = Term();
  b = Term();
  EXPECT_EQ(node_refs(pair_left(p.get())), 1u);
  EXPECT_EQ(node_refs(pair_right(p.get())), 1u);
}

TEST(Header, ReleasingAPairLeavesSharedChildrenAlive) {
  Term shared = make_leaf("x");
  {
    Term p = apply(shared, shared);
    EXPECT_EQ(node_refs(shared.get()), 3u);
  }
  EXPECT_EQ(node_refs(shared.get()), 1u);
}

TEST(Header, FieldSettersKeepOtherFields) {
  Term t = make_leaf("12");
  set_arity(t.get(), -52);
  set_arity(t.get(), 11);
  EXPECT_EQ(node_arity(t.get()), 11);
  EXPECT_TRUE(node_is_leaf(t.get()));
  set_inner(t.get(), true);
  set_arity(t.get(), 0);
  EXPECT_TRUE(node_inner(t.get()));
  set_extent(t.get(), 0x3FFFFFF);
  EXPECT_EQ(node_extent(t.get()), 0x3FFFFFFu);
  EXPECT_EQ(node_refs(t.get()), 1u);
  EXPECT_EQ(node_arity(t.get()), 0);
  Term copy = t;
  EXPECT_EQ(node_extent(t.get()), 0x3FFFFFFu);
  EXPECT_EQ(node_refs(t.get()), 2u);
}

TEST(Counts, ExtremeCountsAssert) {
  Term t = make_leaf("x");
  EXPECT_DEATH(
      {
        t.get()->header |= kRefsMask;
        retain(t.get());
      },
      "ASSERTION FAILED:b:4333\n");
  EXPECT_DEATH(
      {
        t.get()->header &= ~kRefsMask;
        release_node(t.get());
      },
      "ASSERTION FAILED:b:4299\n");
  // The largest count still takes one more reference without touching the extent.
  Term n = make_leaf("77");
  n.get()->header = (n.get()->header & ~kRefsMask) | (kRefsMask - 1);
  retain(n.get());
  EXPECT_EQ(node_refs(n.get()), kRefsMask);
  EXPECT_EQ(node_extent(n.get()), 2u);
  n.get()->header = (n.get()->header & ~kRefsMask) | 1;
}

TEST(Counts, RangeChecksOfSetters) {
  Term t = make_leaf("x");
  EXPECT_DEATH(set_arity(t.get(), 12), "ASSERTION FAILED:b:4422\n");
  EXPECT_DEATH(set_arity(t.get(), -53), "ASSERTION FAILED:b:4423\n");
  EXPECT_DEATH(set_extent(t.get(), 0x4000000), "ASSERTION FAILED:b:4433\n");
  Term empty;
  EXPECT_DEATH(release(empty), "ASSERTION FAILED:b:6619\n");
  EXPECT_DEATH(assign(empty, t), "ASSERTION FAILED:b:6625\n");
  EXPECT_DEATH(assign(t, empty), "ASSERTION FAILED:b:6626\n");
  EXPECT_DEATH(left_of(t), "ASSERTION FAILED:b:6683\n");
  EXPECT_DEATH(right_of(t), "ASSERTION FAILED:b:6684\n");
  EXPECT_DEATH(make_leaf(static_cast<const char*>(nullptr)), "ASSERTION FAILED:b:6602\n");
}

TEST(Leaves, TextsByKind) {
  std::string real = " ";
  real.append(8, '\0');
  real[3] = 'q';
  Term r = make_leaf(std::string_view(real));
  EXPECT_EQ(leaf_text(r), std::string_view(real));
  EXPECT_EQ(text_length(r), 9u);
  Term p = apply(r, r);
  EXPECT_EQ(leaf_text(p), "");
  EXPECT_EQ(first_char(p), 0);
  EXPECT_EQ(text_length(p), 0u);
  Term name = make_leaf("plus");
  EXPECT_EQ(leaf_text(name), "plus");
  EXPECT_TRUE(leaf_is(name, "plus"));
  EXPECT_FALSE(leaf_is(name, "plu"));
  EXPECT_FALSE(leaf_is(p, ""));
}

TEST(Leaves, CountedByteStringsKeepEmbeddedNul) {
  std::string bytes("(b)\0A\0", 6);
  Term t = make_leaf(std::string_view(bytes));
  EXPECT_EQ(leaf_text(t), std::string_view(bytes));
  EXPECT_EQ(text_count(t.get()), 3u);
  EXPECT_EQ(text_payload(t.get()), std::string_view("\0A\0", 3));
  EXPECT_EQ(text_length(t), 3u);  // measured to the first NUL
  Term made = make_text(std::string_view("\0A\0", 3));
  EXPECT_EQ(leaf_text(made), std::string_view(bytes));
  EXPECT_EQ(leaf_text(make_text("")), "()");
}

TEST(Leaves, CountAlphabet) {
  EXPECT_EQ(count_digit_value(','), 0);
  EXPECT_EQ(count_digit_value('_'), 1);
  EXPECT_EQ(count_digit_value('r'), 19);
  EXPECT_EQ(count_digit_value('u'), 20);
  EXPECT_EQ(count_digit_value('y'), 27);
  EXPECT_EQ(count_digit_value('0'), 28);
  EXPECT_EQ(count_digit_value('A'), 38);
  EXPECT_EQ(count_digit_value('U'), 56);
  EXPECT_EQ(count_digit_value('Y'), 63);
  EXPECT_EQ(encode_count(64), "_,");
  EXPECT_EQ(encode_count(4095), "YY");
  for (uint64_t n : {1ull, 63ull, 64ull, 1000ull, 123456789ull}) {
    std::string code = encode_count(n);
    uint64_t back = 0;
    for (char c : code) back = back * 64 + uint64_t(count_digit_value(c));
    EXPECT_EQ(back, n);
  }
  EXPECT_DEATH(count_digit_value('!'), "ASSERTION FAILED:b:3328\n");
}

TEST(Leaves, LongNumberLeavesCountTheirText) {
  std::string digits(kLongText, '7');
  Term t = make_leaf(std::string_view(digits));
  EXPECT_EQ(node_extent(t.get()), 0u);
  EXPECT_EQ(leaf_text(t).size(), kLongText);
  EXPECT_EQ(text_length(t), kLongText);
}

TEST(Release, LongSpinesInBothDirections) {
  const int kCells = 10'000'000;
  Term leaf = make_leaf("f");
  Term left_spine = leaf;
  for (int i = 0; i < kCells; ++i) left_spine = make_pair(std::move(left_spine), leaf);
  Term right_spine = leaf;
  for (int i = 0; i < kCells; ++i) right_spine = make_pair(leaf, std::move(right_spine));
  EXPECT_EQ(node_refs(leaf.get()), 2u * kCells + 3);
  left_spine = Term();
  right_spine = Term();
  EXPECT_EQ(node_refs(leaf.get()), 1u);
}

}  // namespace
