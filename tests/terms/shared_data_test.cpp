// Long leaves that hold NUL bytes, and data values far larger than memory built by sharing.
#include <gtest/gtest.h>

#include <string>

#include "terms/data_values.h"
#include "terms/term.h"

namespace {

// The value [text] paired with itself `times` times: 2^times copies in `times` cells.
Term doubled(std::string_view text, int times) {
  Term d = make_data(text);
  for (int i = 0; i < times; ++i) d = make_pair(d, d);
  return d;
}

TEST(LongLeaves, DataOfNulBytesKeepsItsStoredLength) {
  std::string content(kLongText + 5, '\0');
  Term d = make_data(content);
  EXPECT_EQ(node_extent(d.get()), 0u);
  EXPECT_EQ(leaf_text(d).size(), kLongText + 7);
  EXPECT_EQ(text_length(d), kLongText + 7);
  EXPECT_EQ(data_length(d), kLongText + 7);
  EXPECT_EQ(flatten(d), content);
  Term number = make_leaf(std::string(kLongText, '9'));
  EXPECT_EQ(leaf_text(number).size(), kLongText);
}

TEST(LongLeaves, JustBelowTheLimitStillUsesTheExtent) {
  Term d = make_data(std::string(kLongText - 3, '\0'));
  EXPECT_EQ(node_extent(d.get()), kLongText - 1);
  EXPECT_EQ(leaf_text(d).size(), kLongText - 1);
}

TEST(SharedData, QuestionsAboutTheStartEndAtTheStart) {
  Term big = doubled("ab", 40);  // 2^41 bytes of content
  EXPECT_EQ(flatten_prefix(big.get(), 5), "ababa");
  EXPECT_EQ(flatten_prefix(big.get(), 0), "");
  EXPECT_EQ(data_length(big), uint64_t(4) << 40);
  EXPECT_EQ(compare_data(big.get(), doubled("ac", 40).get()), -1);
  EXPECT_EQ(compare_data(doubled("ac", 40).get(), big.get()), 1);
  EXPECT_EQ(compare_data(big.get(), big.get()), 0);
  // Built the same way from one leaf: the walks meet the same nodes and step over them.
  Term leaf = make_data("ab");
  Term x = make_pair(leaf, leaf);
  Term y = make_pair(leaf, leaf);
  for (int i = 0; i < 40; ++i) {
    x = make_pair(x, x);
    y = make_pair(y, y);
  }
  EXPECT_EQ(compare_data(x.get(), y.get()), 0);
}

TEST(SharedData, ComparisonIsByContentWhateverTheShape) {
  Term abc = make_data("abc");
  Term split = make_pair(make_pair(make_data("a"), make_data("")), make_data("bc"));
  EXPECT_EQ(compare_data(abc.get(), split.get()), 0);
  EXPECT_EQ(compare_data(make_data("ab").get(), split.get()), -1);  // a prefix comes first
  EXPECT_EQ(compare_data(split.get(), make_data("ab").get()), 1);
  EXPECT_EQ(compare_data(make_pair(make_data(""), make_data("")).get(), make_data("").get()), 0);
  EXPECT_EQ(compare_data(make_data("\xff").get(), make_data("a").get()), 1);  // unsigned bytes
}

TEST(SharedData, FlatteningBeyondMemoryIsReported) {
  Term big = doubled("ab", 45);
  EXPECT_EXIT(flatten(big), testing::ExitedWithCode(1), "tarn: out of memory\n");
}

}  // namespace
