#include "primitives/elements.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "terms/data_values.h"
#include "numbers/numerals.h"
#include "tests/primitives/primitive_calls.h"

namespace {

std::string two(BuiltinFunction f, const Term& x, const Term& y) { return show(call(f, x, y)); }
std::string three(BuiltinFunction f, const Term& x, const Term& y, const Term& z) {
  return show(call(f, x, y, z));
}
std::string form(char c) { return std::string(leaf_text(char_data_form(c))); }

uint64_t pattern(double d) {
  uint64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  return bits;
}

double from_pattern(uint64_t bits) {
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

TEST(Look, TextBytesAsSignedIntegers) {
  Term t = txt("AB\xff");
  EXPECT_EQ(two(look, lf("0"), t), "65");
  EXPECT_EQ(two(look, lf("01"), t), "01");
  EXPECT_EQ(two(look, lf("02"), t), "66");
  EXPECT_EQ(two(look, lf("3"), t), "Z");
  EXPECT_EQ(two(look, lf("04"), t), "Z");
  EXPECT_EQ(two(look, lf("K"), t), "65");
  EXPECT_EQ(two(look, lf("00"), t), "Z");
}

TEST(Look, BitsOfNumbersAndReals) {
  EXPECT_EQ(two(look, lf("0"), lf("5")), "K");  // the integer tag
  EXPECT_EQ(two(look, lf("1"), lf("05")), "H");  // the sign
  // 5 is the bit string 10111: the top bit is 4, index -1 reads bit 3.
  EXPECT_EQ(two(look, lf("01"), lf("5")), "H");
  EXPECT_EQ(two(look, lf("04"), lf("5")), "K");
  EXPECT_EQ(two(look, lf("05"), lf("5")), "Z");
  EXPECT_EQ(two(look, lf("40"), lf("5")), "H");
  EXPECT_EQ(two(look, lf("0"), bit_list("5")), "K");
  Term minus_zero = dbl(-0.0);
  EXPECT_EQ(two(look, lf("63"), minus_zero), "K");
  EXPECT_EQ(two(look, lf("01"), minus_zero), "K");
  EXPECT_EQ(two(look, lf("0"), minus_zero), "H");
  EXPECT_EQ(two(look, lf("64"), minus_zero), "H");
  EXPECT_EQ(two(look, lf("65"), minus_zero), "Z");
  EXPECT_EQ(two(look, lf("065"), minus_zero), "Z");
}

TEST(Look, DataElements) {
  Term d = lf("[a[bc]d]");
  EXPECT_EQ(two(look, lf("0"), d), form('a'));
  EXPECT_EQ(two(look, lf("1"), d), "[bc]");
  EXPECT_EQ(two(look, lf("2"), d), form('d'));
  EXPECT_EQ(two(look, lf("3"), d), "Z");
  EXPECT_EQ(two(look, lf("01"), d), "Z");
  Term p = apply(lf("[a]"), lf("[xy]"));
  EXPECT_EQ(two(look, lf("1"), p), "[xy]");
  EXPECT_EQ(two(look, lf("0"), lf("[]")), "Z");
  EXPECT_EQ(two(look, lf("0"), lf("S")), "Z");
  EXPECT_EQ(two(look, txt("1"), d), "Z");
}

TEST(Cork, TextByteFromData) {
  EXPECT_EQ(three(cork, lf("0"), lf("[x]"), txt("ab")), show(txt("xb")));
  EXPECT_EQ(three(cork, lf("01"), lf("[x]"), txt("ab")), show(txt("ax")));
  EXPECT_EQ(three(cork, lf("2"), lf("[x]"), txt("ab")), "Z");
  EXPECT_EQ(three(cork, lf("03"), lf("[x]"), txt("ab")), "Z");
  EXPECT_EQ(three(cork, lf("0"), lf("[[p]]"), txt("ab")), show(txt("\nb")));
  EXPECT_EQ(three(cork, lf("0"), lf("[[q]]"), txt("ab")), show(txt("[b")));
  EXPECT_EQ(three(cork, lf("0"), lf("[]"), txt("ab")), show(txt("!b")));
  EXPECT_EQ(three(cork, lf("0"), lf("[[ab]]"), txt("ab")), show(txt("!b")));
  EXPECT_EQ(three(cork, lf("0"), lf("[\n]"), txt("ab")), show(txt("\nb")));
  EXPECT_EQ(three(cork, lf("0"), txt("x"), txt("ab")), "Z");
  EXPECT_EQ(three(cork, lf("[]"), lf("[x]"), txt("ab")), "Z");
}

TEST(Cork, ChangesAnUnsharedTextInPlace) {
  Term app = apply(apply(apply(lf("cork"), lf("1")), lf("[x]")), txt("abc"));
  Node* text = pair_right(app.get());
  Term r = cork(std::move(app));
  EXPECT_EQ(r.get(), text);
  EXPECT_EQ(show(r), show(txt("axc")));
  // A text held elsewhere too is copied and stays as it was.
  Term shared = txt("abc");
  Term s = call(cork, lf("1"), lf("[x]"), shared);
  EXPECT_NE(s.get(), shared.get());
  EXPECT_EQ(show(shared), show(txt("abc")));
  EXPECT_EQ(show(s), show(txt("axc")));
}

TEST(Cork, BitsOfRealsAndNumbers) {
  EXPECT_EQ(real_value(call(cork, lf("63"), lf("K"), dbl(1.0))), -1.0);
  EXPECT_EQ(real_value(call(cork, lf("01"), lf("K"), dbl(1.0))), -1.0);
  EXPECT_EQ(real_value(call(cork, lf("0"), lf("K"), dbl(0.0))), from_pattern(1));
  EXPECT_EQ(three(cork, lf("64"), lf("K"), dbl(1.0)), "Z");
  EXPECT_EQ(three(cork, lf("065"), lf("K"), dbl(1.0)), "Z");
  EXPECT_EQ(three(cork, lf("0"), lf("I"), dbl(1.0)), "Z");
  EXPECT_EQ(three(cork, lf("2"), lf("K"), lf("0")), "1");  // 0x03 -> 0x07
  EXPECT_EQ(three(cork, lf("1"), lf("H"), lf("5")), "05");
  EXPECT_EQ(three(cork, lf("1"), lf("H"), bit_list("5")), "05");
  EXPECT_EQ(three(cork, lf("01"), lf("K"), lf("5")), "7");  // bit 3 of 10111
  EXPECT_EQ(three(cork, lf("05"), lf("K"), lf("5")), "Z");
  EXPECT_EQ(three(cork, lf("0"), lf("H"), lf("K")), "Z");  // the bare K is no number here
  EXPECT_EQ(three(cork, lf("0"), lf("[a]"), lf("5")), "Z");
}

TEST(Cork, DataElementsByRepeatedHalves) {
  Term x = lf("[x]");
  EXPECT_EQ(three(cork, lf("01"), x, lf("[abc]")), print_term(apply(lf("[ab]"), x)));
  Term at_one = call(cork, lf("1"), x, lf("[abc]"));
  EXPECT_EQ(show(at_one), print_term(apply(apply(lf("[a]"), x), char_data_form('c'))));
  EXPECT_EQ(show(call(cork, lf("02"), x, lf("[abc]"))), show(at_one));
  EXPECT_EQ(three(cork, lf("0"), x, lf("[a[bc]]")),
            print_term(apply(apply(lf("[]"), x), lf("[bc]"))));
  EXPECT_EQ(three(cork, lf("3"), x, lf("[abc]")), "Z");
  EXPECT_EQ(three(cork, lf("04"), x, lf("[abc]")), "Z");
  EXPECT_EQ(three(cork, lf("0"), x, lf("[]")), "Z");
  Term p = apply(lf("[ab]"), lf("[c]"));
  EXPECT_EQ(three(cork, lf("2"), x, p), print_term(apply(lf("[ab]"), x)));
  EXPECT_EQ(three(cork, lf("0"), x, p),
            print_term(apply(apply(apply(lf("[]"), x), char_data_form('b')), lf("[c]"))));
  EXPECT_EQ(three(cork, lf("0"), txt("x"), p), "Z");
}

TEST(Tail, DropsTheLastByte) {
  Term shared = txt("abc");
  EXPECT_EQ(show(call(tail, shared)), show(txt("ab")));
  EXPECT_EQ(show(shared), show(txt("abc")));
  EXPECT_EQ(show(call(tail, txt("a"))), "()");
  EXPECT_EQ(show(call(tail, txt(""))), "Z");
  EXPECT_EQ(show(call(tail, lf("5"))), "Z");
  EXPECT_EQ(show(call(tail, lf("[ab]"))), "Z");
}

TEST(Tail, ShortensAnUnsharedTextInPlace) {
  Term app = apply(lf("tail"), txt("a"));
  Node* text = pair_right(app.get());
  Term r = tail(std::move(app));
  EXPECT_EQ(r.get(), text);
  EXPECT_EQ(show(r), "(,)");
  EXPECT_EQ(text_count(r.get()), 0u);
  // 64 bytes need two count digits; 63 need one, written after a ',' digit.
  Term app64 = apply(lf("tail"), txt(std::string(64, 'q')));
  Term r64 = tail(std::move(app64));
  EXPECT_EQ(show(r64), "(,Y)" + std::string(63, 'q'));
  EXPECT_EQ(text_payload(r64.get()), std::string(63, 'q'));
}

TEST(Cats, JoinsSameKinds) {
  EXPECT_EQ(two(cats, txt("ab"), txt("cd")), show(txt("abcd")));
  EXPECT_EQ(two(cats, lf("[ab]"), lf("[c]")), "[abc]");
  EXPECT_EQ(two(cats, apply(lf("[a]"), lf("[b]")), lf("[c]")), "[abc]");
  EXPECT_EQ(two(cats, txt("ab"), lf("[c]")), "Z");
  EXPECT_EQ(two(cats, txt("ab"), lf("K")), "Z");
  // Bit strings join at the first one's top bit: 10111 and 1111 give 11110111, 61.
  EXPECT_EQ(two(cats, lf("5"), lf("3")), "61");
  EXPECT_EQ(two(cats, bit_list("5"), lf("3")), "61");
  EXPECT_EQ(two(cats, lf("5"), lf("0")), "13");  // 10111 and 11 give 111011
}

TEST(Cats, NaNRealsCarryingBitStrings) {
  // Mantissas marked by their lowest set bit: d carries bits above bit 50, v above bit 49.
  uint64_t nan = 0x7FFull << 52;
  uint64_t d = nan | (uint64_t(1) << 50) | (uint64_t(1) << 51);
  uint64_t v = nan | (uint64_t(1) << 49) | (uint64_t(1) << 51);
  // i = 50, j = 49: marker at 48, then bits 51 and 50 of v go to bits 50 and 49.
  uint64_t joined = pattern(real_value(call(cats, dbl(from_pattern(d)), dbl(from_pattern(v)))));
  EXPECT_EQ(joined, nan | (uint64_t(1) << 51) | (uint64_t(1) << 50) | (uint64_t(1) << 48));
  EXPECT_EQ(two(cats, dbl(1.0), dbl(2.0)), "Z");
  EXPECT_EQ(two(cats, dbl(from_pattern(d)), dbl(-from_pattern(v))), "Z");
  EXPECT_EQ(two(cats, dbl(from_pattern(nan | 1)), dbl(from_pattern(nan | 1))), "Z");
}

TEST(Copy, WritesBytesAndAnswersI) {
  char buffer[16] = {};
  Term address = int64_to_numeral(int64_t(reinterpret_cast<intptr_t>(buffer)));
  EXPECT_EQ(two(copy, txt("hi"), address), "I");
  EXPECT_EQ(std::string(buffer, 3), std::string("hi\0", 3));
  EXPECT_EQ(two(copy, lf("[a[p]]"), address), "I");
  EXPECT_EQ(std::string(buffer, 5), std::string("a[p]\0", 5));
  EXPECT_EQ(two(copy, bit_list("05"), address), "I");
  EXPECT_EQ(std::string(buffer, 2), "05");
  EXPECT_EQ(two(copy, dbl(2.5), address), "I");
  double d;
  std::memcpy(&d, buffer, 8);
  EXPECT_EQ(d, 2.5);
  EXPECT_EQ(two(copy, lf("S"), address), "Z");
  EXPECT_EQ(two(copy, txt("hi"), txt("0")), "Z");
}

TEST(Into, SlicesThatEndBeforeTheLastUnit) {
  Term t = txt("abcd");
  EXPECT_EQ(three(into, lf("1"), lf("2"), t), show(txt("bc")));
  EXPECT_EQ(three(into, lf("1"), lf("3"), t), "Z");
  EXPECT_EQ(three(into, lf("03"), lf("2"), t), show(txt("bc")));
  EXPECT_EQ(three(into, lf("05"), lf("1"), t), "Z");
  EXPECT_EQ(three(into, lf("0"), lf("0"), t), "()");
  EXPECT_EQ(three(into, lf("1"), lf("01"), t), "Z");
  EXPECT_EQ(three(into, lf("1"), lf("18446744073709551615"), t), "Z");
  EXPECT_EQ(three(into, lf("4"), lf("0"), t), "Z");
  EXPECT_EQ(three(into, lf("0"), lf("4"), dbl(from_pattern(0x5A))), "10");
  EXPECT_EQ(three(into, lf("60"), lf("4"), dbl(1.0)), "Z");
  // Bits of 9 (100111, top bit 5): bits 0 and 1 give 111 (1), bits 2 and 3 give 101
  // (minus 1); bits 3 and 4 would reach the last bit below the top.
  EXPECT_EQ(three(into, lf("0"), lf("2"), lf("9")), "1");
  EXPECT_EQ(three(into, lf("2"), lf("2"), lf("9")), "01");
  EXPECT_EQ(three(into, lf("3"), lf("2"), lf("9")), "Z");
  EXPECT_EQ(three(into, lf("0"), lf("4"), lf("5")), "Z");
  Term d = lf("[a[bc]de]");
  EXPECT_EQ(three(into, lf("1"), lf("2"), d), "[[bc]d]");
  EXPECT_EQ(three(into, lf("01"), lf("1"), d), "Z");
  EXPECT_EQ(three(into, lf("0"), lf("1"), lf("S")), "Z");
}

}  // namespace
