#include "eval/engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "eval/analysis.h"
#include "frontend/definitions.h"
#include "frontend/linker.h"
#include "eval/native_rules.h"
#include "terms/print.h"
#include "numbers/reals.h"
#include "common/tables.h"
#include "driver/builtin_families.h"

namespace {

// Programs here call primitives, so the families are installed as the driver does.
const bool kFamiliesInstalled = (install_builtin_families(), true);

// Loads, links and reduces a whole program applied to the numeral 0.
std::string run(const std::string& program) {
  load_prelude();
  ErrorRecord loaded = load_program(program);
  EXPECT_TRUE(record_ok(loaded)) << loaded.message;
  ErrorRecord linked = link_program();
  EXPECT_TRUE(record_ok(linked)) << linked.message;
  Term result = reduce(make_pair(definition_table()[""], make_leaf("0")));
  // The cycle marker prints as "()"; show its text instead.
  return first_char(result) == ')' ? std::string(leaf_text(result)) : print_term(result);
}

TEST(Engine, NormalFormsAreReturnedAsTheyAre) {
  load_prelude();
  Term five = make_leaf("5");
  Node* node = five.get();
  Term result = reduce(std::move(five));
  EXPECT_EQ(result.get(), node);
}

TEST(Engine, LazyHeadsNeverTouchUnusedArguments) {
  EXPECT_EQ(run("a\\K 1 loop,loop\\I loop"), "1");
  EXPECT_EQ(run("a\\H loop 2,loop\\I loop"), "2");
  EXPECT_EQ(run("a\\V 1 (Y I) K"), "1");
}

TEST(Engine, StrictHeadsNormaliseArgumentsFirst) {
  // S is not lazy: its argument (I loop) is computed and closes the cycle.
  EXPECT_EQ(run("a\\S K (I loop) 1,loop\\I loop"), ")loop");
  EXPECT_EQ(run("a\\S K K 3"), "3");
}

TEST(Engine, ParametersAreReplacedTogetherRespectingInnerBinders) {
  EXPECT_EQ(run("a\\pick 1 2 3,pick\\x\\y\\z\\y*10+z+x*100"), "123");
  // A repeated parameter letter stands for the later argument.
  EXPECT_EQ(run("a\\tw 1 2,tw\\x\\x\\x"), "2");
  // An inner lambda or let that binds a parameter's letter hides it in its scope only.
  EXPECT_EQ(run("a\\ap 5 7,ap\\x\\y\\(x\\x+y) 1+x"), "13");
  EXPECT_EQ(run("a\\lt 5 7,lt\\x\\y\\x{y+x}x*y"), "84");
  // Arguments shared between several uses, and a focus pair held twice by a memo.
  EXPECT_EQ(run("a\\dbl(1+2),dbl\\x\\x*x+x"), "12");
  EXPECT_EQ(run("a\\two*two+two,two\\3*4"), "156");
}

TEST(Engine, LambdasAndLetsAppliedAgainGiveTheSameResults) {
  // A shared lambda applied many times, its body planned from the second use on.
  EXPECT_EQ(run("a\\th (x\\x*2+x) 5,th\\f\\y\\f(f(f y))"), "135");
  EXPECT_EQ(run("a\\rep 40 0,rep\\n\\s\\(n=0)(s,rep(n-1)(x{s+1}x*1))"), "40");
  // An inner lambda re-binding the letter keeps its own scope.
  EXPECT_EQ(run("a\\th (x\\(x\\x+1) x*3) 1,th\\f\\y\\f(f(f y))"), "40");
}

TEST(Engine, ParameterlessDefinitionsAreComputedOnce) {
  EXPECT_EQ(run("a\\K two two,two\\I 2"), "2");
  EXPECT_EQ(print_term(definition_table()["two"]), "2");
  EXPECT_EQ(memo_map()["two"], 1);
  // The () form keeps its definition and is recomputed at each use.
  EXPECT_EQ(run("a\\K two two,two()\\I 2"), "2");
  EXPECT_EQ(print_term(definition_table()["two"]), "(I I2)");
}

TEST(Engine, AbstractionValuesAreStoredBehindI) {
  EXPECT_EQ(run("a\\idf idf 4,idf\\I(x\\x)"), "4");
  EXPECT_EQ(print_term(definition_table()["idf"]), "(I (\\x x))");
}

TEST(Engine, LetsNormaliseTheirValueFirst) {
  EXPECT_EQ(run("a\\x{I I 6}x"), "6");
  EXPECT_EQ(run("a\\x{K}x 1 loop,loop\\I loop"), "1");
  // A let inside a lambda body keeps its own binder when the outer letter is replaced.
  EXPECT_EQ(run("a\\(y\\x{y}y) 7"), "7");
  EXPECT_EQ(run("a\\(y\\y{1}y) 7"), "1");
  EXPECT_EQ(run("a\\p q{V 6 7}p"), "6");
}

TEST(Engine, NumbersAppliedAsFunctions) {
  EXPECT_EQ(run("a\\0 5 6"), "5");
  // Seven is the bit string 4*7+3; halved twice it is 7 again, read as a tagged bit string:
  // integer, non-negative, magnitude 1. Twelve's magnitude 12 reads as a binary fraction.
  EXPECT_EQ(run("a\\7 0 (s\\r\\V s r)"), "VH1");
  EXPECT_EQ(run("a\\07 0 (s\\r\\V s r)"), "VK1");
  EXPECT_EQ(run("a\\12 0 (s\\r\\r)"), "0001");
  // One and minus one halve to the bare bit string 0x01, which is the leaf K.
  EXPECT_EQ(run("a\\1 0 (s\\r\\r)"), "K");
  EXPECT_EQ(run("a\\01 0 (s\\r\\r)"), "K");
  // Binary fractions are numbers too; the fraction zero halves to nothing, read as K.
  EXPECT_EQ(run("a\\00 0 (s\\r\\V s r)"), "VKK");
  EXPECT_EQ(run("a\\004 0 (s\\r\\r)"), "000");
}

TEST(Engine, DataAppliedAsFunctions) {
  EXPECT_EQ(run("a\\[ab] G (x\\y\\x)"), "[a]");
  EXPECT_EQ(run("a\\[] (x\\y\\y)"), "K");
  EXPECT_EQ(run("a\\[[]] (x\\y\\y)"), "JKK");
  EXPECT_EQ(run("a\\[[]] (x\\y\\x)"), "XJ");
}

TEST(Engine, CombinatorTermsReachTheirNormalForm) {
  EXPECT_EQ(run("a\\B I I 3"), "3");
  EXPECT_EQ(run("a\\C K 1 2"), "2");
  EXPECT_EQ(run("a\\W K 5"), "5");
  EXPECT_EQ(run("a\\(f\\x\\f(f x)) (V 1) 2"), "(V1 (V1 2))");
}

TEST(Engine, DeepSpinesNeedNoNativeStack) {
  load_prelude();
  ASSERT_TRUE(record_ok(load_program("a\\1")));
  ASSERT_TRUE(record_ok(link_program()));
  const int kDepth = 1'000'000;
  Term left = make_leaf("I");
  for (int i = 0; i < kDepth; ++i) left = make_pair(std::move(left), make_leaf("I"));
  left = make_pair(std::move(left), make_leaf("9"));
  EXPECT_EQ(print_term(reduce(std::move(left))), "9");
  Term right = make_leaf("9");
  for (int i = 0; i < kDepth; ++i) right = make_pair(make_leaf("I"), std::move(right));
  EXPECT_EQ(print_term(reduce(std::move(right))), "9");
  // A normal form as deep as that is analysed and released without recursion.
  Term pairs = make_leaf("K");
  for (int i = 0; i < kDepth; ++i) pairs = make_pair(make_leaf("V"), std::move(pairs));
  EXPECT_TRUE(is_normal(pairs.get()));
}

TEST(Engine, SubstitutionSharesUntouchedSubterms) {
  load_prelude();
  Term closed = make_pair(make_leaf("K"), make_leaf("I"));
  Term body = make_pair(closed, make_leaf("x"));
  analyse(body);
  Term result = substitute(body, make_leaf("5"), 'x');
  EXPECT_EQ(pair_left(result.get()), closed.get());
  EXPECT_EQ(print_term(result), "KI5");
  Term untouched = substitute(closed, make_leaf("5"), 'x');
  EXPECT_EQ(untouched.get(), closed.get());
  EXPECT_DEATH(substitute(body, closed, 'A'), "ASSERTION FAILED:b:7160\n");
}

}  // namespace

namespace {

// Leaves of a term from left to right.
std::string leaves(const Term& t) {
  std::string out;
  std::vector<Node*> stack{t.get()};
  while (!stack.empty()) {
    Node* n = stack.back();
    stack.pop_back();
    if (node_is_leaf(n)) {
      out += std::string(leaf_text(n)) + " ";
    } else {
      stack.push_back(pair_right(n));
      stack.push_back(pair_left(n));
    }
  }
  return out;
}

TEST(NativeRules, RealsBecomeTreesOfTheirBits) {
  load_prelude();
  uint64_t one = 1;
  double smallest;
  std::memcpy(&smallest, &one, 8);
  Term tree = apply_real(make_real(smallest).get(), make_leaf("f"));
  std::string want = "V V V V V V K H ";
  std::string all = leaves(tree);
  EXPECT_EQ(all.substr(0, want.size()), want);
  EXPECT_EQ(std::count(all.begin(), all.end(), 'K'), 1);
  EXPECT_EQ(std::count(all.begin(), all.end(), 'H'), 63);
  EXPECT_EQ(std::count(all.begin(), all.end(), 'V'), 63);
  EXPECT_EQ(all.substr(all.size() - 2), "f ");
}

TEST(NativeRules, TextsSplitAtPowersOfTwo) {
  load_prelude();
  EXPECT_EQ(print_term(apply_text(make_text("").get())), "Z");
  EXPECT_EQ(print_term(apply_text(make_text("abcde").get())), "(Vinit[abcd] init[e])");
  EXPECT_EQ(print_term(apply_text(make_text("abcd").get())), "(Vinit[ab] init[cd])");
  EXPECT_EQ(print_term(apply_text(make_text("ab").get())), "(Vinit[a] init[b])");
  // One byte, 0x61: bits 0, 5 and 6 set, as I; the others H.
  EXPECT_EQ(leaves(apply_text(make_text("a").get())),
            "V J J I H J H H J J H I J I H ");
}

TEST(Dispatch, BuiltinsRunOnlyWhenSaturatedWithNormalArguments) {
  EXPECT_EQ(run("a\\(plus 1) 2"), "3");
  EXPECT_EQ(run("a\\plus 1"), "(plus 1)");
  EXPECT_EQ(run("a\\plus (I 1) (K 2 loop),loop\\I loop"), "3");
  // A program's own definition of a built-in's name hides the built-in.
  EXPECT_EQ(run("a\\plus 1 2,plus\\x\\y\\y"), "2");
}

}  // namespace
