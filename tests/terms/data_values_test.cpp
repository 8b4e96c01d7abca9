#include "terms/data_values.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

Term leaf(std::string_view text) { return make_leaf(text); }
std::string text_of(const Term& t) { return std::string(leaf_text(t)); }
std::string form_of(unsigned char c) { return text_of(char_data_form(c)); }

TEST(BracketTrees, SmallNumbersAndRange) {
  EXPECT_EQ(bracket_tree(0), "[]");
  EXPECT_EQ(bracket_tree(1), "[[]]");
  EXPECT_EQ(bracket_tree(2), "[[][]]");
  // 3: s = 1, m = 1 (odd) gives (y, x) = (1, 0).
  EXPECT_EQ(bracket_tree(3), "[[[]]]");
  // 4: s = 1, m = 2 gives (1, 1).
  EXPECT_EQ(bracket_tree(4), "[[[]][]]");
  std::set<std::string> seen;
  for (unsigned a = 0; a <= 676; ++a) seen.insert(bracket_tree(a));
  EXPECT_EQ(seen.size(), 677u);  // distinct trees for distinct numbers
  EXPECT_DEATH(bracket_tree(677), "ASSERTION FAILED:b:9407\n");
}

TEST(BracketTrees, CharacterFormsAreTreesOfByteValues) {
  EXPECT_EQ(form_of('c'), bracket_tree('c' + 145));
  EXPECT_EQ(form_of(0xFF), bracket_tree(0xFF + 145));
  // A line feed in data text stands for the byte NUL, as program text writes it.
  EXPECT_EQ(form_of('\n'), bracket_tree(145));
  // A raw NUL (written into data by `rows` of a text) stands for a line feed.
  EXPECT_EQ(form_of('\0'), bracket_tree('\n' + 145));
  EXPECT_FALSE(char_data_form('['));
  EXPECT_FALSE(char_data_form(']'));
  std::set<std::string> forms;
  for (unsigned c = 0; c < 256; ++c) {
    if (Term f = char_data_form(static_cast<unsigned char>(c))) forms.insert(text_of(f));
  }
  EXPECT_EQ(forms.size(), 254u);
  // Built once: every call hands out the same node.
  EXPECT_EQ(char_data_form('x').get(), char_data_form('x').get());
}

TEST(Halves, OfLeaves) {
  DataHalves h = data_halves(leaf("[abc]"));
  EXPECT_EQ(text_of(h.left), "[ab]");
  EXPECT_EQ(h.right.get(), char_data_form('c').get());
  h = data_halves(leaf("[a[bc]]"));
  EXPECT_EQ(text_of(h.left), "[a]");
  EXPECT_EQ(text_of(h.right), "[bc]");
  h = data_halves(leaf("[x]"));
  EXPECT_EQ(text_of(h.left), "[]");
  EXPECT_EQ(h.right.get(), char_data_form('x').get());
  h = data_halves(leaf("[a[b[c]][d]]"));
  EXPECT_EQ(text_of(h.left), "[a[b[c]]]");
  EXPECT_EQ(text_of(h.right), "[d]");
  h = data_halves(h.left);
  EXPECT_EQ(text_of(h.left), "[a]");
  EXPECT_EQ(text_of(h.right), "[b[c]]");
  h = data_halves(leaf("[[]]"));
  EXPECT_EQ(text_of(h.left), "[]");
  EXPECT_EQ(text_of(h.right), "[]");
  h = data_halves(leaf("[a\n]"));
  EXPECT_EQ(text_of(h.right), bracket_tree(145));
  EXPECT_EQ(node_extent(h.left.get()), 3u);  // made as an ordinary data leaf
}

TEST(Halves, OfPairsAreTheChildren) {
  Term l = leaf("[ab]");
  Term r = leaf("[c]");
  DataHalves h = data_halves(apply(l, r));
  EXPECT_EQ(h.left.get(), l.get());
  EXPECT_EQ(h.right.get(), r.get());
}

TEST(Halves, RepeatedHalvingEndsInEmpty) {
  // Every character form is made of brackets only, so taking halves never gets stuck.
  for (unsigned c : {unsigned('a'), unsigned('\n'), 0x7Fu, 0xFFu}) {
    std::vector<Term> work{char_data_form(static_cast<unsigned char>(c))};
    int steps = 0;
    while (!work.empty()) {
      Term t = work.back();
      work.pop_back();
      if (is_empty_data(t.get())) continue;
      DataHalves h = data_halves(t);
      work.push_back(h.left);
      work.push_back(h.right);
      ASSERT_LT(++steps, 10000);
    }
  }
}

TEST(Halves, Assertions) {
  EXPECT_DEATH(data_halves(leaf("[]")), "ASSERTION FAILED:b:964\n");
  EXPECT_DEATH(data_halves(leaf("[")), "ASSERTION FAILED:b:964\n");
  EXPECT_EQ(text_of(data_halves(leaf(std::string_view("[a\0]", 4))).right), form_of('\0'));
  // Stray brackets stand alone and have no form; a ']' without partner never reaches back to
  // the leaf's own opening bracket.
  EXPECT_DEATH(data_halves(leaf("[a[]")), "ASSERTION FAILED:b:959\n");
  EXPECT_DEATH(data_halves(leaf("[a]]")), "ASSERTION FAILED:b:959\n");
  EXPECT_DEATH(data_halves(leaf("[]]")), "ASSERTION FAILED:b:959\n");
}

TEST(Flatten, LeavesPairsAndJoining) {
  Term ab = leaf("[ab]");
  Term pair = apply(ab, leaf("[c]"));
  EXPECT_EQ(flatten(pair), "abc");
  EXPECT_EQ(flatten(leaf("[]")), "");
  EXPECT_EQ(flatten(leaf("[")), "");
  EXPECT_EQ(flatten(apply(leaf("[[p]]"), leaf("[x[y]]"))), "[p]x[y]");
  EXPECT_EQ(text_of(join_data(pair)), "[abc]");
  EXPECT_EQ(join_data(ab).get(), ab.get());
  Term made = make_data(std::string_view("a\0b", 3));
  EXPECT_EQ(leaf_text(made), std::string_view("[a\0b]", 5));
  EXPECT_EQ(node_extent(made.get()), 5u);
}

TEST(Length, ExtentLeafTextOrSum) {
  EXPECT_EQ(data_length(leaf("[]")), 2u);
  EXPECT_EQ(data_length(leaf("[")), 1u);
  EXPECT_EQ(data_length(leaf("[ab[c]]")), 7u);
  Term pair = apply(leaf("[ab]"), apply(leaf("[]"), leaf("[c]")));
  EXPECT_EQ(data_length(pair), 9u);
  // An analysed data pair carries its length.
  set_tag_byte(pair.get(), 0x40);
  set_extent(pair.get(), 100);
  EXPECT_EQ(data_length(pair), 100u);
  // Repeated self-pairing: measured through sharing, not by unfolding 2^40 leaves.
  Term d = leaf("[a]");
  for (int i = 0; i < 40; ++i) d = apply(d, d);
  EXPECT_EQ(data_length(d), 3ull << 40);
}

TEST(Classify, ShapeAndTags) {
  EXPECT_TRUE(is_data_value(leaf("[")));
  EXPECT_TRUE(is_data_value(leaf("[]")));
  EXPECT_FALSE(is_data_value(leaf("a")));
  EXPECT_FALSE(is_data_value(leaf("12")));
  Term good = apply(leaf("[a]"), apply(leaf("[]"), leaf("[b]")));
  EXPECT_TRUE(is_data_value(good));
  EXPECT_FALSE(is_data_value(apply(leaf("[a]"), apply(leaf("[]"), leaf("b")))));
  // Analysed nodes answer from their tag alone.
  Term name_pair = apply(leaf("f"), leaf("x"));
  set_tag_byte(name_pair.get(), 0x40);
  EXPECT_TRUE(is_data_value(name_pair));
  Term bracket = leaf("[x]");
  set_arity(bracket.get(), 1);
  EXPECT_FALSE(is_data_value(bracket));
  set_tag_byte(bracket.get(), 0xC0);
  EXPECT_TRUE(is_data_value(bracket));
  EXPECT_TRUE(is_empty_data(leaf("[]").get()));
  EXPECT_FALSE(is_empty_data(leaf("[ ]").get()));
}

TEST(Classify, SharedPairsAreCheckedOnce) {
  // 2^60 leaves as 60 shared pairs: only a walk that remembers them ends.
  Term d = leaf("[a]");
  for (int i = 0; i < 60; ++i) d = apply(d, d);
  EXPECT_TRUE(is_data_value(d));
  EXPECT_FALSE(is_data_value(apply(d, leaf("b"))));
  EXPECT_FALSE(is_data_value(apply(leaf("b"), d)));
  EXPECT_FALSE(is_data_value(apply(apply(leaf("[x]"), leaf("y")), d)));
}

TEST(Elements, CountAndIndex) {
  Term t = leaf("[ab[cd]e]");
  EXPECT_EQ(data_element_count(t), 4u);
  EXPECT_EQ(data_element(t, 0).get(), char_data_form('a').get());
  EXPECT_EQ(text_of(data_element(t, 2)), "[cd]");
  EXPECT_EQ(data_element(t, 3).get(), char_data_form('e').get());
  EXPECT_FALSE(data_element(t, 4));
  EXPECT_EQ(data_element_count(leaf("[]")), 0u);
  // Right children down the left spine are one element each, whatever they hold.
  Term c = leaf("[c]");
  Term de = leaf("[de]");
  Term spine = apply(apply(leaf("[ab]"), c), de);
  EXPECT_EQ(data_element_count(spine), 4u);
  EXPECT_EQ(data_element(spine, 1).get(), char_data_form('b').get());
  EXPECT_EQ(data_element(spine, 2).get(), c.get());
  EXPECT_EQ(data_element(spine, 3).get(), de.get());
  EXPECT_FALSE(data_element(spine, 4));
  // Stray brackets count as characters, in agreement with the halves.
  EXPECT_EQ(data_element_count(leaf("[[a]")), 2u);
  EXPECT_EQ(data_element_count(leaf("[a]]")), 2u);
  EXPECT_EQ(data_element_count(leaf("[[[]]")), 2u);
}

TEST(Deep, ReadsMillionCellDataSpines) {
  const int kCells = 1'000'000;
  Term unit = leaf("[x]");
  Term left = unit;
  for (int i = 0; i < kCells; ++i) left = make_pair(std::move(left), unit);
  Term right = unit;
  for (int i = 0; i < kCells; ++i) right = make_pair(unit, std::move(right));
  EXPECT_EQ(flatten(left), std::string(kCells + 1, 'x'));
  EXPECT_EQ(flatten(right), std::string(kCells + 1, 'x'));
  EXPECT_EQ(data_length(left), 3u * (kCells + 1));
  EXPECT_EQ(data_length(right), 3u * (kCells + 1));
  EXPECT_TRUE(is_data_value(left));
  EXPECT_TRUE(is_data_value(right));
  EXPECT_EQ(data_element_count(left), kCells + 1u);
  EXPECT_EQ(data_element(left, 0).get(), char_data_form('x').get());
  EXPECT_EQ(data_element(left, kCells).get(), unit.get());
}

}  // namespace
