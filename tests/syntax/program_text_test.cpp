#include "frontend/program_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Positions = std::vector<int64_t>;

TEST(ByteClasses, EveryByteHasExactlyOneClass) {
  int counts[7] = {};
  for (int c = 0; c < 256; ++c) ++counts[int(byte_class(static_cast<unsigned char>(c)))];
  EXPECT_EQ(counts[int(ByteClass::Blank)], 2);
  EXPECT_EQ(counts[int(ByteClass::Bracket)], 6);
  EXPECT_EQ(counts[int(ByteClass::BinaryOperator)], 20);
  EXPECT_EQ(counts[int(ByteClass::Affix)], 5);
  EXPECT_EQ(counts[int(ByteClass::WordChar)], 27);
  EXPECT_EQ(counts[int(ByteClass::Digit)], 10);
  EXPECT_EQ(counts[int(ByteClass::Single)], 256 - 70);
  int special = 0, absorbing = 0;
  for (int c = 0; c < 256; ++c) {
    special += is_special(static_cast<unsigned char>(c));
    absorbing += is_blank_absorbing(static_cast<unsigned char>(c));
  }
  EXPECT_EQ(special, 33);
  EXPECT_EQ(absorbing, 22);
  for (unsigned char c : std::string("AZ\r\t\x7F\x80\xFF")) EXPECT_TRUE(is_single(c)) << int(c);
  EXPECT_TRUE(is_single(0));
  EXPECT_TRUE(is_binary_operator('|'));
  EXPECT_TRUE(is_binary_operator('\\'));
  EXPECT_TRUE(is_affix('`'));
  EXPECT_FALSE(is_blank('\r'));
}

TEST(Normalize, TrimsCollapsesAndDrops) {
  EXPECT_EQ(normalize_blanks(" \n \n  "), "");
  EXPECT_EQ(normalize_blanks(""), "");
  EXPECT_EQ(normalize_blanks("a  +\n  b"), "a+b");
  EXPECT_EQ(normalize_blanks("f   x"), "f x");
  EXPECT_EQ(normalize_blanks("f\n\n  x"), "f\nx");
  EXPECT_EQ(normalize_blanks("f  \n x"), "f\nx");
  EXPECT_EQ(normalize_blanks("( x )"), "(x)");
  EXPECT_EQ(normalize_blanks("f (x)"), "f (x)");
  EXPECT_EQ(normalize_blanks("(x) y"), "(x) y");
  EXPECT_EQ(normalize_blanks("{ x }"), "{x}");
  EXPECT_EQ(normalize_blanks("a { x } b"), "a{x}b");
  EXPECT_EQ(normalize_blanks("a\r\nb"), "a\r\nb");
  EXPECT_EQ(normalize_blanks("\n  main , f \\ a \\ a\n"), "main,f\\a\\a");
  EXPECT_EQ(normalize_blanks("x ! y"), "x ! y");
  EXPECT_EQ(normalize_blanks("[a] [b]"), "[a] [b]");
}

TEST(Normalize, DataLiteralsKeepSpacesButNotLineEnds) {
  EXPECT_EQ(normalize_blanks("[a  \n  b]"), "[a  b]");
  EXPECT_EQ(normalize_blanks("[ a [ b ] ]"), "[ a [ b ] ]");
  EXPECT_EQ(normalize_blanks("x [a\n\nb ] y"), "x [ab ] y");
  // Only [ and ] nest inside: the ")" does not end the literal, the first "]" at depth 0 does.
  EXPECT_EQ(normalize_blanks("( [ ) \n ] )"), "([ ) ])");
  // A literal left open runs to the end of the text.
  EXPECT_EQ(normalize_blanks("[a \n b"), "[a b");
}

TEST(Brackets, MatchingBracket) {
  EXPECT_EQ(matching_bracket("(a[)]b)", 0), 6);
  EXPECT_EQ(matching_bracket("(a[)]b)", 6), 0);
  EXPECT_EQ(matching_bracket("(a[)]b)", 2), 4);
  EXPECT_EQ(matching_bracket("(a[)]b)", 4), 2);
  EXPECT_EQ(matching_bracket("(a[)]b)", 1), 1);
  EXPECT_EQ(matching_bracket("[[a]]", 0), 4);
  EXPECT_EQ(matching_bracket("[[a]]", 3), 1);
  // Parentheses and braces are counted together here.
  EXPECT_EQ(matching_bracket("{(})", 0), 3);
}

TEST(Brackets, MatchingBracketWalksOnlyInsideTheText) {
  EXPECT_DEATH(matching_bracket("ab", -1), "ASSERTION FAILED:b:5206\n");
  EXPECT_DEATH(matching_bracket("ab", 2), "ASSERTION FAILED:b:5207\n");
  EXPECT_DEATH(matching_bracket("(ab", 0), "ASSERTION FAILED:b:5207\n");
  EXPECT_DEATH(matching_bracket("ab)", 2), "ASSERTION FAILED:b:5206\n");
  // A literal opener met walking backwards would send the walk forwards again.
  EXPECT_DEATH(matching_bracket("([)]", 2), "ASSERTION FAILED:b:5215\n");
  EXPECT_DEATH(matching_bracket("[(]", 1), "ASSERTION FAILED:b:5215\n");
}

TEST(Brackets, OperatorPositionsSkipGroups) {
  EXPECT_EQ(operator_positions("a,b(c,d),[e,f],{g,h},i", ByteSet(",")), (Positions{1, 8, 14, 20}));
  EXPECT_EQ(operator_positions("a{b}c{d}", ByteSet(";\\{")), (Positions{1, 5}));
  EXPECT_EQ(operator_positions("", ByteSet(",")), Positions{});
  TextIndex x = index_text("(a,b),c,(d)");
  EXPECT_EQ(operator_positions(x, 0, 11, ByteSet(",")), (Positions{5, 7}));
  EXPECT_EQ(operator_positions(x, 1, 4, ByteSet(",")), (Positions{2}));
}

TEST(Brackets, AffixPosition) {
  ByteSet affixes(kAffixChars);
  EXPECT_EQ(affix_position("f!x", 0, affixes), 1);
  EXPECT_EQ(affix_position("f!x", 2, affixes), -1);
  EXPECT_EQ(affix_position("f(!x)[~]{$}`", 0, affixes), 11);
  EXPECT_EQ(affix_position("[a[!]b]~", 0, affixes), 7);
  EXPECT_EQ(affix_position("", 0, affixes), -1);
  TextIndex x = index_text("f(!x)[~]{$}`");
  EXPECT_EQ(affix_position(x, 0, 12, affixes), 11);
  EXPECT_EQ(affix_position(x, 0, 11, affixes), -1);
}

TEST(Words, WordStarts) {
  EXPECT_EQ(word_starts("b(c)"), (Positions{0, 1}));
  EXPECT_EQ(word_starts("BKK"), (Positions{0, 1, 2}));
  EXPECT_EQ(word_starts("12ab"), (Positions{0, 2}));
  EXPECT_EQ(word_starts("[x]y"), (Positions{0, 3}));
  EXPECT_EQ(word_starts("aS"), (Positions{0, 1}));
  EXPECT_EQ(word_starts("plus_x9"), (Positions{0, 6}));
  EXPECT_EQ(word_starts("(a b)(c)[d]"), (Positions{0, 5, 8}));
  EXPECT_EQ(word_starts(std::string("a\0\0b", 4)), (Positions{0, 1, 2, 3}));
  EXPECT_EQ(word_starts("a,b"), (Positions{0, 2}));
  EXPECT_EQ(word_starts("(x),"), (Positions{0, 3}));
  EXPECT_EQ(word_starts("12,"), (Positions{0}));
  EXPECT_EQ(word_starts(""), Positions{});
  TextIndex x = index_text("zz(a b)(c)[d]12");
  EXPECT_EQ(word_starts(x, 2, 15), (Positions{2, 7, 10, 13}));
}

std::string atom_text(std::string_view word) {
  Term t = make_atom(word);
  EXPECT_FALSE(is_pair(t)) << word;
  return std::string(leaf_text(t));
}

TEST(Words, Atoms) {
  EXPECT_EQ(atom_text("12"), "12");
  EXPECT_EQ(node_extent(make_atom("123").get()), 3u);
  EXPECT_EQ(atom_text("plus"), "plus");
  EXPECT_EQ(atom_text("_x"), "_x");
  EXPECT_EQ(atom_text("[ab]"), "[ab]");
  EXPECT_EQ(atom_text(std::string("[a\0b]", 5)), "[a\nb]");
  EXPECT_EQ(atom_text("[a\nb]"), "[ab]");
  EXPECT_EQ(atom_text("[]"), "[]");
  EXPECT_EQ(atom_text("K"), "K");
  EXPECT_EQ(atom_text("\r"), "\r");
  EXPECT_EQ(atom_text(std::string(1, '\0')), "\n");
  EXPECT_EQ(atom_text("\xFF"), "\xFF");
  EXPECT_EQ(atom_text("(x)"), "x");
  EXPECT_EQ(atom_text("()"), "}");
  Term group = make_atom("(a+b)");
  ASSERT_TRUE(is_pair(group));
  EXPECT_TRUE(leaf_is(right_of(group), "b"));
}

TEST(Words, GluedWordsBecomeNames) {
  EXPECT_EQ(atom_text("a,"), "a,");
  EXPECT_EQ(atom_text("I,"), "I,");
  EXPECT_EQ(atom_text("I,,"), "I,,");
  EXPECT_EQ(atom_text(",,"), ",,");
  EXPECT_EQ(atom_text(std::string("\0,", 2)), "\n,");
  // Never a number, data or text leaf with a comma in it.
  EXPECT_EQ(atom_text("12,"), "12,");
  EXPECT_EQ(atom_text("(x),"), ",(x)");
  EXPECT_EQ(atom_text("[x],"), ",[x]");
  EXPECT_DEATH(make_atom("("), "ASSERTION FAILED:b:5274\n");
}

TEST(PositionCodes, FiveDigitsOfTheAlphabet) {
  EXPECT_EQ(position_code(0), ",,,,,");
  EXPECT_EQ(position_code(1), ",,,,_");
  EXPECT_EQ(position_code(2), ",,,,a");
  EXPECT_EQ(position_code(20), ",,,,u");
  EXPECT_EQ(position_code(63), ",,,,Y");
  EXPECT_EQ(position_code(64), ",,,_,");
  EXPECT_EQ(position_code(0x3FFFFFFF), "YYYYY");
  EXPECT_EQ(position_code(0x40000000), "!!!!!");
  EXPECT_DEATH(position_code(-1), "ASSERTION FAILED:b:7663\n");
  EXPECT_DEATH(position_code(0x40000001), "ASSERTION FAILED:b:7663\n");
}

TEST(Index, PartnersFollowTheBracketCheck) {
  TextIndex x = index_text("([)]{a}(]");
  EXPECT_EQ(x.partner[0], 0);  // closed by nothing of its kind
  EXPECT_EQ(x.partner[1], 3);  // the ")" inside the literal is opaque
  EXPECT_EQ(x.partner[2], 2);
  EXPECT_EQ(x.partner[4], 6);
  EXPECT_EQ(x.partner[6], 4);
  EXPECT_EQ(x.partner[7], 7);
  EXPECT_EQ(x.partner[8], 8);
}

}  // namespace
