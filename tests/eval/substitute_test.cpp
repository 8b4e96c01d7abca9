#include "eval/substitute.h"

#include <gtest/gtest.h>

#include <string>

#include "eval/analysis.h"
#include "eval/engine.h"
#include "frontend/definitions.h"
#include "terms/print.h"

namespace {

Term leaf(const char* s) { return make_leaf(s); }
Term lam(const char* letter, Term body) {
  return make_pair(make_pair(leaf("\\"), leaf(letter)), std::move(body));
}
Term let(const char* letter, Term value, Term body) {
  return make_pair(make_pair(make_pair(leaf("{"), leaf(letter)), std::move(value)),
                   std::move(body));
}

// Equal terms with the same sharing: every node is the very node of the other term or a fresh
// pair on both sides.
bool same_sharing(const Node* a, const Node* b) {
  if (a == b) return true;
  if (node_is_leaf(a) || node_is_leaf(b) || node_refs(a) != 1 || node_refs(b) != 1) return false;
  return same_sharing(pair_left(a), pair_left(b)) && same_sharing(pair_right(a), pair_right(b));
}

// The plan's result beside the one-pass substitution of the same parameters.
void expect_plan_matches(const Term& definition, std::vector<Term> arguments) {
  PreparedBody p = prepare_body(definition);
  ASSERT_EQ(p.parameters, arguments.size());
  std::vector<Node*> args;
  Node* values[26] = {};
  uint32_t letters = 0;
  Node* body = definition.get();
  for (const Term& a : arguments) {
    args.push_back(a.get());
    char letter = leaf_chars(pair_right(pair_left(body)))[0];
    values[letter - 'a'] = a.get();
    letters |= 1u << (letter - 'a');
    body = pair_right(body);
  }
  Term planned = run_prepared(p, args.data());
  Term walked = substitute_letters(body, letters, values);
  EXPECT_EQ(print_term(planned), print_term(walked));
  EXPECT_TRUE(same_sharing(planned.get(), walked.get())) << print_term(planned);
}

TEST(PreparedBody, CopiesTheSameSpineAsTheWalk) {
  load_prelude();
  Term closed = make_pair(leaf("K"), leaf("I"));
  Term five = leaf("5"), six = make_pair(leaf("V"), leaf("6"));
  // Parameters at several depths beside a shared closed subterm.
  expect_plan_matches(lam("x", lam("y", apply2(leaf("y"), closed, apply(leaf("x"), leaf("y"))))),
                      {five, six});
  // The later of two equal letters wins.
  expect_plan_matches(lam("x", lam("x", apply(leaf("x"), leaf("x")))), {five, six});
  // An inner lambda or let re-binding a parameter hides it in its scope only.
  expect_plan_matches(lam("x", lam("y", apply(lam("x", apply(leaf("x"), leaf("y"))), leaf("x")))),
                      {five, six});
  expect_plan_matches(lam("x", let("x", leaf("x"), apply(leaf("x"), closed))), {five});
  // A body without its parameters is shared whole.
  Term constant = lam("x", closed);
  PreparedBody p = prepare_body(constant);
  Node* arg = five.get();
  EXPECT_EQ(run_prepared(p, &arg).get(), closed.get());
}

TEST(PreparedBody, ResultsAreAnalysedAndClosed) {
  load_prelude();
  Term def = lam("x", lam("y", apply(leaf("y"), leaf("x"))));
  PreparedBody p = prepare_body(def);
  Term one = leaf("1"), k = leaf("K");
  Node* args[2] = {one.get(), k.get()};
  Term r = run_prepared(p, args);
  EXPECT_TRUE(node_analysed(r.get()));
  EXPECT_EQ(free_variables(r), 0u);
  EXPECT_EQ(pair_right(r.get()), one.get());
}

// An unanalysed copy of a small term, to analyse afresh.
Term fresh_copy(const Node* n) {
  if (node_is_leaf(n)) return make_leaf(leaf_text(n));
  return make_pair(fresh_copy(pair_left(n)), fresh_copy(pair_right(n)));
}

// Every copied pair carries the analysis a fresh analysis of the same term gives.
void expect_analysis_as_fresh(const Node* planned, const Node* fresh) {
  ASSERT_EQ(node_is_pair(planned), node_is_pair(fresh));
  if (node_is_leaf(planned)) return;
  EXPECT_EQ(planned->header & ~kRefsMask, fresh->header & ~kRefsMask)
      << print_term(planned);
  expect_analysis_as_fresh(pair_left(planned), pair_left(fresh));
  expect_analysis_as_fresh(pair_right(planned), pair_right(fresh));
}

TEST(PreparedBody, KnownAnalysisMatchesAFreshOne) {
  load_prelude();
  Term data = leaf("[1]"), five = leaf("5"), lambda_head = leaf("\\"), k = leaf("K");
  Term redex = make_pair(leaf("I"), leaf("5"));  // not normal: every pair is analysed
  Term bodies[] = {
      // a parameter as argument, as function, and under both
      lam("x", lam("y", apply2(leaf("V"), leaf("x"), apply(leaf("y"), leaf("x"))))),
      // data after data: the pair is data only when the argument is
      lam("x", lam("y", apply(data, leaf("x")))),
      // an argument that makes an abstraction or a let's head
      lam("x", lam("y", apply(apply(leaf("x"), leaf("y")), apply(leaf("K"), leaf("y"))))),
      lam("x", lam("y", let("z", leaf("x"), apply2(leaf("z"), leaf("y"), leaf("x"))))),
      lam("x", lam("y", apply(lam("z", apply(leaf("z"), leaf("x"))), leaf("y")))),
  };
  std::vector<std::vector<Term>> argument_sets = {
      {five, k}, {data, data}, {lambda_head, k}, {redex, five}, {k, redex}};
  for (const Term& def : bodies) {
    PreparedBody p = prepare_body(def);
    for (const auto& set : argument_sets) {
      Node* args[2] = {set[0].get(), set[1].get()};
      Term r = run_prepared(p, args);
      Term fresh = fresh_copy(r.get());
      analyse(fresh);
      expect_analysis_as_fresh(r.get(), fresh.get());
    }
  }
}

// Left apart, the spine comes back as its head and arguments; put together they are the
// term the full run builds. Only over-applied applications are left apart, and only when
// every argument is normal.
TEST(PreparedBody, SpineLeftApartIsTheSameTerm) {
  load_prelude();
  Term redex = make_pair(leaf("I"), leaf("5"));
  struct Case {
    Term def;
    size_t apart_normal;  // arguments left apart when the arguments are normal
  };
  Case cases[] = {
      // K has two parameters: (K x y x y) and (K x y x) are over-applied, (K x y) is a redex
      {lam("x", lam("y", apply(apply(apply2(leaf("K"), leaf("x"), leaf("y")), leaf("x")),
                               leaf("y")))),
       2},
      {lam("x", lam("y", apply(apply2(leaf("K"), leaf("x"), leaf("y")), leaf("x")))), 1},
      // the head is a parameter: nothing is known of its arity
      {lam("x", lam("y", apply2(leaf("x"), leaf("y"), leaf("y")))), 0},
      // a partial application is normal: nothing to take apart
      {lam("x", lam("y", apply(leaf("K"), leaf("x")))), 0},
      // the root is not over-applied but its function side would be: root first, so none
      {lam("x", lam("y", apply(leaf("S"), apply2(leaf("K"), leaf("x"), leaf("y"))))), 0},
  };
  for (Case& c : cases) {
    PreparedBody p = prepare_body(c.def);
    for (bool normal : {true, false}) {
      Term five = leaf("5");
      Node* args[2] = {five.get(), normal ? five.get() : redex.get()};
      std::vector<Node*> apart;
      Term head = run_prepared_apart(p, args, apart);
      EXPECT_EQ(apart.size(), normal ? c.apart_normal : 0) << print_term(c.def);
      Term whole = std::move(head);
      for (Node* a : apart) whole = make_pair(std::move(whole), Term::adopt(a));
      EXPECT_EQ(print_term(whole), print_term(run_prepared(p, args)));
    }
  }
}

TEST(PreparedBody, DeepBodiesNeedNoNativeStack) {
  load_prelude();
  Term body = leaf("x");
  for (int i = 0; i < 1'000'000; ++i) body = make_pair(leaf("I"), std::move(body));
  Term def = lam("x", std::move(body));
  PreparedBody p = prepare_body(def);
  Term nine = leaf("9");
  Node* arg = nine.get();
  Term r = run_prepared(p, &arg);
  Node* n = r.get();
  while (node_is_pair(n)) n = pair_right(n);
  EXPECT_EQ(n, nine.get());
}

}  // namespace
