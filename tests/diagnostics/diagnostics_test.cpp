#include "diagnostics/diagnostics.h"

#include <gtest/gtest.h>

#include <set>
#include <string_view>

namespace {

TEST(Report, FormatsRecords) {
  ErrorRecord ok;
  ok.name = "ignored";
  EXPECT_EQ(format_report(ok), "No errors.\n");
  ErrorRecord arity;
  arity.type = ErrorType::arity;
  arity.message = "one line";
  EXPECT_EQ(format_report(arity), "Error.\n Type: Arity\none line\n\\/\n");
  arity.name = "f";
  EXPECT_EQ(format_report(arity), "Error.\n Type: Arity\n Name: f\none line\n\\/\n");
}

// Every kind but none is an error, reported by a five-letter word of its own.
TEST(Report, EveryErrorTypeHasItsOwnWord) {
  EXPECT_EQ(error_type_word(ErrorType::none), "Empty");
  std::set<std::string_view> words = {"Empty"};
  for (ErrorType t : {ErrorType::match, ErrorType::comma, ErrorType::built, ErrorType::place,
                      ErrorType::alive, ErrorType::arity, ErrorType::funky, ErrorType::local,
                      ErrorType::cycle, ErrorType::range}) {
    ErrorRecord r;
    r.type = t;
    EXPECT_FALSE(record_ok(r));
    EXPECT_EQ(error_type_word(t).size(), 5u);
    EXPECT_TRUE(words.insert(error_type_word(t)).second) << error_type_word(t);
  }
}

TEST(Colour, ClassesAndTransitions) {
  EXPECT_EQ(colour_text(""), "");
  EXPECT_EQ(colour_text("plain text\n"), "plain text\n");
  EXPECT_EQ(colour_text("A\xC1\x01" "A"), "A\x1b[31mA\x1b[32mA\x1b[mA");
  EXPECT_EQ(colour_text("x\xE1"), "x\x1b[31ma\x1b[m");
}

TEST(Colour, EveryGreenByte) {
  std::string want =
      "J" "ABCDEFGHI" "KLMNOPQRSTUVWXYZ" "(){}[" "~!@#$%^&*<>-|+/=\\" ".`'\":;?" "012345678"
      "9" "]";
  std::string in;
  for (int b = 0; b <= 0x09; ++b) in += char(b);
  for (int b = 0x0B; b <= 0x1F; ++b) in += char(b);
  for (int b = 0x7F; b <= 0xA0; ++b) in += char(b);
  in += char(0xFF);
  EXPECT_EQ(colour_text(in), "\x1b[32m" + want + "\x1b[m");
}

TEST(Colour, RedBytesDropTheHighBit) {
  std::string in, want;
  for (int b = 0xA1; b <= 0xFE; ++b) {
    in += char(b);
    want += char(b - 0x80);
  }
  EXPECT_EQ(colour_text(in), "\x1b[31m" + want + "\x1b[m");
}

TEST(DisplayName, HexForUnusualBytes) {
  EXPECT_EQ(display_name("a[b]\t\x7F\xE9 z"), "a[5B]b[5D][09][7F][E9] z");
}

TEST(Stops, AssertionAndFatalTexts) {
  EXPECT_DEATH(assertion_failed("tarn", 57), "^ASSERTION FAILED:tarn:57\n$");
  EXPECT_DEATH(fatal("charnopq"), "ASSERTION FAILED:b:629\n");
  EXPECT_DEATH(core_assert(false, 5104), "ASSERTION FAILED:b:5104\n");
}

}  // namespace
