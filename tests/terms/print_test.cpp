#include "terms/print.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

Term L(std::string_view text) { return make_leaf(text); }
Term A(Term f, Term x) { return make_pair(std::move(f), std::move(x)); }
Term A(Term f, Term x, Term y) { return A(A(std::move(f), std::move(x)), std::move(y)); }

Term real_leaf(double value) {
  std::string text = " ";
  text.append(reinterpret_cast<const char*>(&value), sizeof value);
  return make_leaf(std::string_view(text));
}

TEST(PrintTerm, GluingAndLists) {
  EXPECT_EQ(print_term(A(L("S"), L("K"), L("K"))), "SKK");
  EXPECT_EQ(print_term(A(L("+"), L("1"))), "+1");
  EXPECT_EQ(print_term(A(L("+"), L("1"), L("2"))), "(+1 2)");
  EXPECT_EQ(print_term(A(L("plus"), L("1"), L("2"))), "(plus 1 2)");
  EXPECT_EQ(print_term(A(L("K"), A(L("plus"), L("1")))), "(K (plus 1))");
  EXPECT_EQ(print_term(A(L("A"), A(L("B"), L("C")))), "(A BC)");
  EXPECT_EQ(print_term(A(L("f"), L("}"))), "(f })");
  EXPECT_EQ(print_term(A(A(L("\\"), L("a")), L("a"))), "(\\a a)");
  EXPECT_EQ(print_term(A(L("f"), L("a"), L("b"))), "(f a b)");
  EXPECT_EQ(print_term(A(A(L("f"), L("a"), L("b")), L("c"))), "(f a b c)");
}

TEST(PrintTerm, MixedShapes) {
  // A capital glues to a following word; the glued text then ends in a letter.
  EXPECT_EQ(print_term(A(L("K"), L("_x"))), "K_x");
  EXPECT_EQ(print_term(A(L("A"), L("B"), L("c"))), "ABc");
  EXPECT_EQ(print_term(A(L("+"), L("-"), L("*"))), "+-*");
  EXPECT_EQ(print_term(A(L("+"), L("a"), L("b"))), "(+a b)");
  EXPECT_EQ(print_term(A(L("plus"), A(L("K"), L("x")), L("12"))), "(plus Kx 12)");
  EXPECT_EQ(print_term(A(L("S"), A(L("K"), L("K")))), "(S KK)");
  EXPECT_EQ(print_term(A(L("+"), A(L("f"), L("a")))), "(+ (f a))");
  EXPECT_EQ(print_term(A(A(L("f"), L("a")), A(L("g"), L("b")))), "(f a (g b))");
  EXPECT_EQ(print_term(A(L("{"), L("x"), L("5"))), "({x 5)");
  EXPECT_EQ(print_term(A(L("K"), L("[ab]"))), "(K [ab])");
  EXPECT_EQ(print_term(A(L("[ab]"), L("K"))), "([ab] K)");
  EXPECT_EQ(print_term(A(L("x"), L("Y"))), "(x Y)");
  // Bytes outside 0x20..0x7E glue like capitals.
  EXPECT_EQ(print_term(A(L("\x01"), L("K"))), "\x01K");
  EXPECT_EQ(print_term(A(L("K"), L("\xC3"))), "K\xC3");
  EXPECT_EQ(print_term(A(L("\xC3"), L("ab"))), "\xC3" "ab");
  // A list that starts with the empty form is wrapped, not extended.
  EXPECT_EQ(print_term(A(L(""), L("a"))), "(() a)");
  EXPECT_EQ(print_term(A(L(""), L("a"), L("b"))), "(() a b)");
  EXPECT_EQ(print_term(A(L("K"), L(""))), "(K ())");
}

TEST(PrintTerm, Leaves) {
  EXPECT_EQ(print_term(L("[ab]")), "[ab]");
  EXPECT_EQ(print_term(L("]memo")), "()");
  EXPECT_EQ(print_term(L(")")), "()");
  EXPECT_EQ(print_term(L("")), "()");
  EXPECT_EQ(print_term(L("0123")), "0123");
  EXPECT_EQ(print_term(make_text("a\n[")), "init[a[p][q]]");
  EXPECT_EQ(print_term(make_text(std::string_view("]\0z", 3))), "init[[r]\nz]");
  EXPECT_EQ(print_term(make_text("")), "init[]");
  EXPECT_EQ(print_term(real_leaf(2.5)), "real[2.500000e+00]");
  EXPECT_EQ(print_term(real_leaf(-0.001)), "real[-1.000000e-03]");
  EXPECT_EQ(print_term(A(L("f"), real_leaf(1))), "(f real[1.000000e+00])");
}

TEST(PrintReport, LeavesOnly) {
  EXPECT_EQ(print_report(make_text("abc")), "()");
  EXPECT_EQ(print_report(real_leaf(2.5)), "()");
  EXPECT_EQ(print_report(L("]")), "()");
  EXPECT_EQ(print_report(L("\x01")), "()");
  EXPECT_EQ(print_report(L("\xC3x")), "()");
  EXPECT_EQ(print_report(L("05")), "05");
  EXPECT_EQ(print_report(L("name")), "name");
  EXPECT_EQ(print_report(L("[a\nb]")), std::string("[a\0b]", 5));
  std::string data999 = "[" + std::string(997, 'x') + "]";
  EXPECT_EQ(print_report(L(data999)), data999);
  EXPECT_EQ(print_report(L("[" + std::string(998, 'x') + "]")), "()");
  EXPECT_EQ(print_report(A(L("plus"), L("[ab]"), make_text("t"))), "(plus [ab] ())");
  EXPECT_EQ(print_report(A(L("S"), L("K"), L("K"))), "SKK");
  EXPECT_EQ(print_report(A(make_text("t"), L("a"), L("b"))), "(() a b)");
}

TEST(SourceForm, ExchangesLineFeedAndNul) {
  EXPECT_EQ(source_form(std::string_view("a\nb\0c", 5)), std::string("a\0b\nc", 5));
  EXPECT_EQ(source_form(""), "");
}

TEST(Deep, PrintsMillionCellSpines) {
  const int kCells = 1'000'000;
  Term f = L("f");
  Term a = L("a");
  Term left = f;
  for (int i = 0; i < kCells; ++i) left = make_pair(std::move(left), a);
  std::string expected = "(f";
  for (int i = 0; i < kCells; ++i) expected += " a";
  expected += ")";
  EXPECT_EQ(print_term(left), expected);

  Term right = a;
  for (int i = 0; i < kCells; ++i) right = make_pair(f, std::move(right));
  expected.clear();
  for (int i = 0; i < kCells; ++i) expected += "(f ";
  expected += "a";
  expected.append(kCells, ')');
  EXPECT_EQ(print_term(right), expected);

  Term glued = L("S");
  Term k = L("K");
  for (int i = 0; i < kCells; ++i) glued = make_pair(std::move(glued), k);
  EXPECT_EQ(print_report(glued), "S" + std::string(kCells, 'K'));
}

}  // namespace
