#include "frontend/brackets.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The coded text and position of the problem, or "ok".
std::string outcome(std::string_view raw) {
  auto problem = check_parenthesization(raw);
  if (!problem) return "ok";
  return problem->text + " @" + std::to_string(problem->position);
}

TEST(CodedError, TypeCodeAndMessage) {
  EXPECT_EQ(coded_error("Match", 2, "Doesn't fit ')' at [,,,,d]."),
            "Match[,,,,a]Doesn't fit ')' at [,,,,d].");
  EXPECT_EQ(coded_error("Comma", 64, "x"), "Comma[,,,_,]x");
  EXPECT_EQ(bracket_kind('('), "parenthesis");
  EXPECT_EQ(bracket_kind(']'), "bracket");
  EXPECT_EQ(bracket_kind('}'), "wing");
  EXPECT_DEATH(bracket_kind('x'), "ASSERTION FAILED:b:4268\n");
}

TEST(Pairs, EveryMessageAndPosition) {
  EXPECT_EQ(outcome(""), "ok");
  EXPECT_EQ(outcome("[(]"), "ok");
  EXPECT_EQ(outcome("[a]]"), "Match[,,,,b]Left dangling bracket. @3");
  EXPECT_EQ(outcome("ab)"), "Match[,,,,a]Left dangling parenthesis. @2");
  EXPECT_EQ(outcome("ab}"), "Match[,,,,a]Left dangling wing. @2");
  EXPECT_EQ(outcome("(]"), "Match[,,,,,]Doesn't fit ']' at [,,,,_]. @0");
  EXPECT_EQ(outcome("x{a)"), "Match[,,,,_]Doesn't fit ')' at [,,,,b]. @1");
  EXPECT_EQ(outcome("ab{xy)"), "Match[,,,,a]Doesn't fit ')' at [,,,,d]. @2");
  EXPECT_EQ(outcome("(("), "Match[,,,,_]Right dangling parenthesis. @1");
  EXPECT_EQ(outcome("(a"), "Match[,,,,,]Right dangling parenthesis. @0");
  EXPECT_EQ(outcome("{(a)"), "Match[,,,,,]Right dangling wing. @0");
  EXPECT_EQ(outcome("x[[a]"), "Match[,,,,_]Right dangling bracket. @1");
  EXPECT_EQ(outcome("abc}"), "Match[,,,,b]Left dangling wing. @3");
  // Inside a literal only [ and ] count, however they are mixed with the rest.
  EXPECT_EQ(outcome("([)]"), "Match[,,,,,]Right dangling parenthesis. @0");
  EXPECT_EQ(outcome("{[}{]}"), "ok");
  EXPECT_EQ(outcome("[[(]{]"), "ok");
}

TEST(Pairs, PositionsBeyondOneDigit) {
  std::string raw(100, 'a');
  raw += ')';
  EXPECT_EQ(outcome(raw), "Match[,,,_8]Left dangling parenthesis. @100");
}

TEST(Commas, CallListsAndTheirRejections) {
  EXPECT_EQ(outcome("f(a,b)"), "ok");
  EXPECT_EQ(outcome("g(x)(a,b)"), "ok");
  EXPECT_EQ(outcome("[s](a,b)"), "ok");
  EXPECT_EQ(outcome("f(a,b),g"), "ok");
  EXPECT_EQ(outcome("x{a,b}"), "ok");
  EXPECT_EQ(outcome("{(a,b)}"), "ok");
  EXPECT_EQ(outcome("!(a,b)"), "ok");
  EXPECT_EQ(outcome("((a,b))"), "ok");
  EXPECT_EQ(outcome("f(x,[a,b],(c))"), "ok");
  EXPECT_EQ(outcome("(a)"), "ok");
  const std::string comma = "]Comma encountered in parenthesization which is not a call list. @";
  EXPECT_EQ(outcome("(a,b)"), "Comma[,,,,a" + comma + "2");
  EXPECT_EQ(outcome("(a,b,c)"), "Comma[,,,,a" + comma + "2");
  EXPECT_EQ(outcome("f(a,(b,c))"), "Comma[,,,,e" + comma + "6");
  EXPECT_EQ(outcome("f (a,b)"), "Comma[,,,,c" + comma + "4");
  EXPECT_EQ(outcome("f\n(a,b)"), "Comma[,,,,c" + comma + "4");
  EXPECT_EQ(outcome("x+(a,b,c)"), "Comma[,,,,c" + comma + "4");
  EXPECT_EQ(outcome("x,(a,b)"), "Comma[,,,,c" + comma + "4");
  // The inner group is rejected first: the scan runs right to left.
  EXPECT_EQ(outcome("(a,b)+(c,d)"), "Comma[,,,,g" + comma + "8");
  // A comma in a brace inside the group belongs to the brace.
  EXPECT_EQ(outcome("+(x{a,b})"), "ok");
  EXPECT_EQ(outcome("+(x{a,b},c)"), "Comma[,,,,g" + comma + "8");
}

}  // namespace
