#include "frontend/linker.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "frontend/definitions.h"
#include "terms/print.h"
#include "common/tables.h"

namespace {

ErrorRecord link(const std::string& program) {
  load_prelude();
  ErrorRecord loaded = load_program(program);
  EXPECT_TRUE(record_ok(loaded)) << loaded.message;
  return link_program();
}

std::string shown(const std::string& key) { return print_term(definition_table().at(key)); }

TEST(Linker, QuotingPairsThePrintedFormWithTheTerm) {
  load_prelude();
  ASSERT_TRUE(record_ok(load_program("a\\`(1+2)")));
  Term quoted = quote_rewrite(definition_table()[""]);
  EXPECT_EQ(print_term(quoted), "(\\a (V [(+1 2)] (+1 2)))");
}

TEST(Linker, PairBindingsBecomeThreeLets) {
  load_prelude();
  ASSERT_TRUE(record_ok(load_program("a\\p q{B}A")));
  Term rewritten = pair_binding_rewrite(definition_table()[""]);
  EXPECT_EQ(print_term(rewritten), "(\\a ({q B ({p (q K) ({q (q H) A))))");
}

TEST(Linker, ParametersBecomeLettersAndAreLogged) {
  ASSERT_TRUE(record_ok(link("a\\gg 1,gg\\count\\count")));
  EXPECT_EQ(shown("gg"), "(\\a a)");
  std::ifstream log("/tmp/redv.log");
  std::stringstream text;
  text << log.rdbuf();
  EXPECT_NE(text.str().find("First gg: (\\count count)\n"), std::string::npos);
}

TEST(Linker, UnreachedDefinitionsAreRemoved) {
  ASSERT_TRUE(record_ok(link("a\\K,zz\\q\\w")));
  EXPECT_FALSE(definition_table().count("zz"));
  EXPECT_FALSE(definition_table().count("plus"));
  EXPECT_TRUE(definition_table().count("Z"));
  EXPECT_TRUE(definition_table().count("_"));
  EXPECT_EQ(first_char(definition_table()["_"]), '[');
  EXPECT_EQ(leaf_text(definition_table()["_"]).substr(0, 12), "[[addrinfo[a");
}

TEST(Linker, RewritesThatChangeNothingCopyNothing) {
  load_prelude();
  ASSERT_TRUE(record_ok(load_program("a\\f(x+1)(g(y{z}w))")));
  const Term& main = definition_table()[""];
  EXPECT_EQ(quote_rewrite(main).get(), main.get());
  EXPECT_EQ(pair_binding_rewrite(main).get(), main.get());
  // A change copies the path to it and keeps the rest.
  load_prelude();
  ASSERT_TRUE(record_ok(load_program("a\\f(x+1)(`y)")));
  const Term& quoting = definition_table()[""];
  Term quoted = quote_rewrite(quoting);
  EXPECT_NE(quoted.get(), quoting.get());
  Node* call = pair_right(quoting.get());
  Node* rewritten_call = pair_right(quoted.get());
  EXPECT_EQ(pair_right(pair_left(rewritten_call)), pair_right(pair_left(call)));
}

TEST(Linker, SharedSubtermsAreWalkedOnceAndStillSeen) {
  Term d = make_pair(make_leaf("zz"), make_leaf("Q"));
  for (int i = 0; i < 64; ++i) d = make_pair(d, d);  // 2^64 leaves unfolded
  EXPECT_EQ(referenced_names(d), (std::set<std::string>{"Q", "zz"}));
  // The second visit of d is skipped, the names around it are not.
  Term both = make_pair(d, make_pair(make_leaf("K"), d));
  EXPECT_EQ(referenced_names(both), (std::set<std::string>{"K", "Q", "zz"}));
}

TEST(Linker, EqualSubtermsAreShared) {
  ASSERT_TRUE(record_ok(link("a\\ff(V 1 2)(V 1 2),ff\\x\\y\\x")));
  Node* main = definition_table()[""].get();
  Node* call = pair_right(main);  // ((ff (V 1 2)) (V 1 2))
  EXPECT_EQ(pair_right(pair_left(call)), pair_right(call));
}

TEST(Linker, ErrorRecords) {
  ErrorRecord alive = link("a\\fx,fx\\k\\foo");
  EXPECT_EQ(error_type_word(alive.type), "Alive");
  EXPECT_EQ(alive.name, "foo");
  EXPECT_EQ(alive.position, -1);
  ErrorRecord local = link("a\\hh 1,hh\\k\\y");
  EXPECT_EQ(local.message, "Local variable y unbound in function [hh].");
  EXPECT_EQ(local.name, "hh");
  ErrorRecord funky = link("a\\(f x)\\x");
  EXPECT_EQ(funky.message, "Funky key in expression (\\ (f x) x).");
  EXPECT_EQ(funky.name, "");
  ErrorRecord arity = link("a\\mm,mm\\a\\b\\c\\d\\e\\f\\g\\h\\i\\j\\k\\k");
  EXPECT_EQ(error_type_word(arity.type), "Arity");
  ErrorRecord shown_name = link(std::string("a\\\x01"));
  EXPECT_EQ(shown_name.message, "Alive [\x01] referenced by [TOP] but not defined.");
}

TEST(Linker, ReferencedNames) {
  load_prelude();
  ASSERT_TRUE(record_ok(load_program("a\\plus x (K+3) [q] \x7F")));
  std::set<std::string> names = referenced_names(definition_table()[""]);
  EXPECT_EQ(names, (std::set<std::string>{"+", "K", "plus", "\x7F"}));
}

}  // namespace
