#include "terms/intern.h"

#include <gtest/gtest.h>

#include <string>

namespace {

Term L(std::string_view text) { return make_leaf(text); }
Term A(Term f, Term x) { return make_pair(std::move(f), std::move(x)); }

int cmp(const Term& a, const Term& b) { return structural_compare(a, b); }

class Interning : public ::testing::Test {
 protected:
  void SetUp() override { clear_intern_table(); }
  void TearDown() override { clear_intern_table(); }
};

TEST(Order, Leaves) {
  EXPECT_EQ(cmp(L("a"), L("ab")), -1);
  EXPECT_EQ(cmp(L("ab"), L("b")), -1);
  EXPECT_EQ(cmp(L("b"), L("a")), 1);
  EXPECT_EQ(cmp(L("abc"), L("abc")), 0);
  EXPECT_EQ(cmp(L("12"), L("9")), -1);
  EXPECT_EQ(cmp(L(""), L("a")), -1);
  // Unsigned bytes: 0x80 orders after every ASCII byte.
  EXPECT_EQ(cmp(L("\x80"), L("z")), 1);
  // Texts are compared over their whole length, past an embedded NUL.
  EXPECT_EQ(cmp(make_text(std::string_view("a\0b", 3)), make_text(std::string_view("a\0c", 3))),
            -1);
  EXPECT_EQ(cmp(make_text(std::string_view("a\0b", 3)), make_text(std::string_view("a\0b", 3))),
            0);
  EXPECT_EQ(cmp(make_text(std::string_view("a\0", 2)), make_text(std::string_view("a", 1))), 1);
  // A real is its nine bytes, zeros included.
  std::string r1(" \0\0\0\0\0\0\0\x01", 9), r2(" \0\0\0\0\0\0\0\x02", 9);
  EXPECT_EQ(cmp(L(r1), L(r2)), -1);
}

TEST(Order, Pairs) {
  Term x = L("x");
  EXPECT_EQ(cmp(x, x), 0);
  EXPECT_EQ(cmp(L("zzz"), A(L("a"), L("a"))), -1);
  EXPECT_EQ(cmp(A(L("a"), L("a")), L("a")), 1);
  EXPECT_EQ(cmp(A(L("a"), L("z")), A(L("b"), L("a"))), -1);
  EXPECT_EQ(cmp(A(L("a"), L("b")), A(L("a"), L("a"))), 1);
  EXPECT_EQ(cmp(A(L("f"), A(L("g"), L("x"))), A(L("f"), A(L("g"), L("x")))), 0);
  EXPECT_EQ(cmp(A(L("f"), L("x")), A(A(L("f"), L("x")), L("x"))), -1);
}

TEST(Order, DeepAndSharedTerms) {
  const int kCells = 1'000'000;
  auto spine = [&](const char* bottom) {
    Term t = L(bottom);
    Term a = L("a");
    for (int i = 0; i < kCells; ++i) t = make_pair(std::move(t), a);
    return t;
  };
  Term s1 = spine("f"), s2 = spine("f"), s3 = spine("g");
  EXPECT_EQ(cmp(s1, s2), 0);
  EXPECT_EQ(cmp(s1, s3), -1);
  EXPECT_EQ(cmp(s3, s1), 1);
  Term r1 = L("x"), r2 = L("x");
  for (int i = 0; i < kCells; ++i) {
    r1 = A(L("a"), std::move(r1));
    r2 = A(L("a"), std::move(r2));
  }
  EXPECT_EQ(cmp(r1, r2), 0);
  // 2^60 leaves when unfolded: only the sharing makes this comparison finish.
  Term d1 = L("d"), d2 = L("d");
  for (int i = 0; i < 60; ++i) {
    d1 = A(d1, d1);
    d2 = A(d2, d2);
  }
  EXPECT_EQ(cmp(d1, d2), 0);
}

TEST_F(Interning, EqualTermsBecomeOneNode) {
  Term first = intern(A(L("f"), L("a")));
  Term second = intern(A(L("f"), L("a")));
  EXPECT_EQ(first.get(), second.get());
  EXPECT_EQ(intern(L("a")).get(), pair_right(first.get()));
  // A leaf differing only after an embedded NUL is a different member.
  Term t1 = intern(make_text(std::string_view("a\0b", 3)));
  Term t2 = intern(make_text(std::string_view("a\0c", 3)));
  EXPECT_NE(t1.get(), t2.get());
}

TEST_F(Interning, SubtermsAreShared) {
  Term fresh = A(A(L("f"), L("a")), A(L("f"), L("a")));
  Term shared = intern(fresh);
  EXPECT_NE(shared.get(), fresh.get());  // rebuilt from canonical children
  EXPECT_EQ(pair_left(shared.get()), pair_right(shared.get()));
  EXPECT_EQ(cmp(shared, fresh), 0);
  Term outer = intern(A(L("g"), A(L("f"), L("a"))));
  EXPECT_EQ(pair_right(outer.get()), pair_left(shared.get()));
  // Members: f, a, (f a), the whole pair, g, (g (f a)).
  EXPECT_EQ(intern_table_size(), 6u);
}

TEST_F(Interning, NewTermWithCanonicalChildrenEntersItself) {
  Term f = intern(L("f"));
  Term a = intern(L("a"));
  Term p = A(f, a);
  Term interned = intern(p);
  EXPECT_EQ(interned.get(), p.get());
  EXPECT_EQ(node_refs(p.get()), 3u);  // p, interned, and the table
}

TEST_F(Interning, FoundTermsAreNotTakenApart) {
  Term member = intern(A(L("f"), L("a")));
  remove_interned_if([](const Node* n) { return node_is_leaf(n); });
  EXPECT_EQ(intern_table_size(), 1u);
  EXPECT_EQ(intern(A(L("f"), L("a"))).get(), member.get());
  EXPECT_EQ(intern_table_size(), 1u);
  // The removed leaves come back as new members.
  Term f = L("f");
  EXPECT_EQ(intern(f).get(), f.get());
  EXPECT_EQ(intern_table_size(), 2u);
}

TEST_F(Interning, EqualTermsBuiltApartMeetInOneCall) {
  // Both halves are new; the second must find what the first entered a moment before.
  Term half = A(L("g"), A(L("f"), L("a")));
  Term whole = intern(A(A(L("g"), A(L("f"), L("a"))), half));
  EXPECT_EQ(pair_left(whole.get()), pair_right(whole.get()));
  // Members: g, f, a, (f a), (g (f a)), the whole.
  EXPECT_EQ(intern_table_size(), 6u);
  EXPECT_EQ(intern(A(A(L("g"), A(L("f"), L("a"))), A(L("g"), A(L("f"), L("a"))))).get(),
            whole.get());
  EXPECT_EQ(intern_table_size(), 6u);
}

TEST_F(Interning, TableLeftIncompleteByARemovalStillFindsEveryMember) {
  // Keeps ((f a) b) and b but drops (f a), f and a.
  Term kept = intern(A(A(L("f"), L("a")), L("b")));
  remove_interned_if([&](const Node* n) { return n != kept.get() && !leaf_is(n, "b"); });
  EXPECT_EQ(intern_table_size(), 2u);
  EXPECT_EQ(intern(A(A(L("f"), L("a")), L("b"))).get(), kept.get());
  EXPECT_EQ(intern_table_size(), 2u);
  // A new pair over the dropped parts enters them again, once.
  Term other = intern(A(L("c"), A(L("f"), L("a"))));
  Term again = intern(A(L("f"), L("a")));
  EXPECT_EQ(pair_right(other.get()), again.get());
  EXPECT_EQ(intern_table_size(), 2u + 5u);  // c, f, a, (f a), (c (f a))
  EXPECT_EQ(intern(L("b")).get(), pair_right(kept.get()));
}

TEST_F(Interning, RemovalShrinksTheTableAndKeepsItsMembers) {
  Term t = L("x");
  for (int i = 0; i < 100000; ++i) t = A(std::move(t), L(std::to_string(i % 7)));
  intern(t);
  t = Term();
  remove_interned_if([](const Node* n) { return node_is_pair(n); });
  EXPECT_EQ(intern_table_size(), 8u);
  for (int i = 0; i < 7; ++i) {
    Term leaf = intern(L(std::to_string(i)));
    EXPECT_EQ(node_refs(leaf.get()), 2u) << i;  // leaf and the table
  }
}

TEST_F(Interning, ClearingReleasesMembers) {
  Term x = L("x");
  intern(x);
  EXPECT_EQ(node_refs(x.get()), 2u);
  clear_intern_table();
  EXPECT_EQ(node_refs(x.get()), 1u);
  EXPECT_EQ(intern_table_size(), 0u);
}

TEST_F(Interning, DeepAndSharedTerms) {
  const int kCells = 1'000'000;
  Term a = L("a");
  auto left_spine = [&] {
    Term t = L("f");
    for (int i = 0; i < kCells; ++i) t = make_pair(std::move(t), a);
    return t;
  };
  auto right_spine = [&] {
    Term t = L("f");
    for (int i = 0; i < kCells; ++i) t = make_pair(a, std::move(t));
    return t;
  };
  EXPECT_EQ(intern(left_spine()).get(), intern(left_spine()).get());
  EXPECT_EQ(intern(right_spine()).get(), intern(right_spine()).get());
  Term d = L("d");
  for (int i = 0; i < 60; ++i) d = A(d, d);
  Term e = L("d");
  for (int i = 0; i < 60; ++i) e = A(e, e);
  EXPECT_EQ(intern(d).get(), intern(e).get());
}

}  // namespace
