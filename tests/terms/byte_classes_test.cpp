#include "terms/byte_classes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Each class spelled out byte by byte, so that a slip in one of the shared tests shows here.
std::string members(bool (*test)(unsigned char)) {
  std::string out;
  for (int b = 0; b < 256; ++b) {
    if (test(static_cast<unsigned char>(b))) out += char(b);
  }
  return out;
}

TEST(ByteClasses, EachClassHoldsExactlyItsBytes) {
  EXPECT_EQ(members(is_blank), "\n ");
  EXPECT_EQ(members(is_digit), "0123456789");
  EXPECT_EQ(members(is_capital), "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  EXPECT_EQ(members(is_lower_letter), "abcdefghijklmnopqrstuvwxyz");
  EXPECT_EQ(members(is_word_char), "_abcdefghijklmnopqrstuvwxyz");
  EXPECT_EQ(members(is_name_char), "0123456789_abcdefghijklmnopqrstuvwxyz");
  EXPECT_EQ(members(is_bracket), "()[]{}");
  EXPECT_EQ(members(is_opener), "([{");
  EXPECT_EQ(members(is_closer), ")]}");
  EXPECT_EQ(members(is_binary_operator), "#%&'*+,-./:;<=>?@\\^|");
  EXPECT_EQ(members(is_affix), "!\"$`~");
}

TEST(ByteClasses, OperatorCharactersAreTheTwentySevenOfEveryLayer) {
  std::string ops = members(is_operator_character);
  EXPECT_EQ(ops.size(), 27u);
  for (char c : std::string("{,}~!@#$%^&*<>-|+/=\\.`'\":;?")) {
    EXPECT_NE(ops.find(c), std::string::npos) << c;
  }
  EXPECT_FALSE(is_operator_character(0));
}

}  // namespace
