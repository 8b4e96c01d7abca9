#include "frontend/definitions.h"

#include <gtest/gtest.h>

#include "frontend/prelude.h"
#include "terms/print.h"
#include "common/builtin_registry.h"
#include "common/tables.h"

namespace {

std::string shown(const std::string& key) { return print_term(definition_table().at(key)); }

TEST(Prelude, TextAndEntries) {
  EXPECT_EQ(prelude_text().size(), 554u);
  EXPECT_EQ(prelude_text().substr(0, 12), ",A\\a\\aS BKK,");
  load_prelude();
  EXPECT_EQ(definition_table().size(), 51u);
  EXPECT_EQ(shown("K"), "(\\a (\\b a))");
  EXPECT_EQ(shown("\\"), "(\\a (\\b (\\c ABCDEFGHIJKLMNOPQRSTUVWXYZ)))");
  EXPECT_EQ(shown("+"), "plus");
  EXPECT_EQ(shown("\""), "I");
  EXPECT_EQ(shown("!"), "VHK");
  EXPECT_EQ(builtin_registry().size(), 223u);
}

TEST(Program, MainExpressionAndPlainDefinitions) {
  load_prelude();
  ASSERT_TRUE(record_ok(load_program("main,f\\a\\a")));
  EXPECT_EQ(shown(""), "main");
  EXPECT_EQ(shown("f"), "(\\a a)");
  load_prelude();
  ASSERT_TRUE(record_ok(load_program("")));
  EXPECT_EQ(shown(""), "}");
}

TEST(Program, DefinitionsShareTheirShortLeaves) {
  load_prelude();
  ASSERT_TRUE(record_ok(load_program("a\\ff(1)+ab,ff\\x\\x+ab,gg\\long_word+long_word")));
  auto plus_of = [](const Node* sum) { return pair_left(pair_left(sum)); };
  const Node* main_sum = pair_right(definition_table()[""].get());
  const Node* ff_sum = pair_right(definition_table()["ff"].get());
  const Node* gg_sum = definition_table()["gg"].get();
  EXPECT_EQ(plus_of(main_sum), plus_of(ff_sum));
  EXPECT_EQ(pair_right(main_sum), pair_right(ff_sum));  // ab
  EXPECT_EQ(shown("gg"), "(+long_word long_word)");
  // Longer words are made each time they are written.
  EXPECT_NE(pair_right(pair_left(gg_sum)), pair_right(gg_sum));
}

TEST(Program, BuiltinsGetPlaceholdersThatProgramsMayReplace) {
  load_prelude();
  ASSERT_TRUE(record_ok(load_program("x")));
  EXPECT_EQ(shown("accept"), "(\\a (\\b (\\c Z)))");
  EXPECT_EQ(shown("rand"), "Z");
  EXPECT_TRUE(builtin_placeholders().count("accept"));
  load_prelude();
  ASSERT_TRUE(record_ok(load_program("x,accept\\a\\a")));
  EXPECT_EQ(shown("accept"), "(\\a a)");
  EXPECT_FALSE(builtin_placeholders().count("accept"));
}

TEST(Program, MemoFormAndItsReplacement) {
  load_prelude();
  ASSERT_TRUE(record_ok(load_program("x,f()\\g x")));
  EXPECT_EQ(shown("f"), "(I (g x))");
  EXPECT_EQ(memo_map().at("f"), 1);
  load_prelude();
  ASSERT_TRUE(record_ok(load_program("x,f()\\g x,f\\1")));
  EXPECT_EQ(shown("f"), "1");
  EXPECT_FALSE(memo_map().count("f"));
}

TEST(Program, NamesAndIgnoredPieces) {
  load_prelude();
  ASSERT_TRUE(record_ok(load_program("x,[+]\\x\\y\\x,[ab]\\I,Ab\\I,A\\I,1+2,q")));
  EXPECT_EQ(shown("+"), "(\\x (\\y x))");
  EXPECT_EQ(shown("A"), "I");
  EXPECT_FALSE(definition_table().count("[ab]"));
  EXPECT_FALSE(definition_table().count("Ab"));
  EXPECT_TRUE(is_definition_name("_x"));
  EXPECT_TRUE(is_definition_name("\x01"));
  EXPECT_TRUE(is_definition_name("\xFF"));
  EXPECT_TRUE(is_definition_name("[}]"));
  EXPECT_FALSE(is_definition_name(std::string(1, '\0')));
  EXPECT_FALSE(is_definition_name("a1"));
  EXPECT_FALSE(is_definition_name("+"));
  EXPECT_EQ(definition_key("[{]"), "{");
  EXPECT_DEATH(definition_key("[ab]"), "ASSERTION FAILED:b:4244\n");
}

TEST(Program, ErrorsOfTheLoader) {
  load_prelude();
  ErrorRecord built = load_program("x,f\\1,[\\]\\I");
  EXPECT_EQ(error_type_word(built.type), "Built");
  EXPECT_EQ(built.message, "Built in function [\\] cannot be re-defined.");
  EXPECT_EQ(built.position, 6);
  EXPECT_EQ(shown("f"), "1");  // entered before the failing piece
  load_prelude();
  ErrorRecord match = load_program("  (x");
  EXPECT_EQ(error_type_word(match.type), "Match");
  EXPECT_EQ(match.message, "Match[,,,,a]Right dangling parenthesis.");
  EXPECT_EQ(match.position, 2);
  EXPECT_FALSE(definition_table().count(""));
}

}  // namespace
