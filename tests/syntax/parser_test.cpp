#include "frontend/parser.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "frontend/program_text.h"

namespace {

// A term as nested parentheses, leaves shown plainly; a line feed shows as \n and any other
// byte outside printable ASCII as \xHH. Walks with its own stack.
std::string shape(const Term& t) {
  std::string out;
  std::vector<std::pair<const Node*, int>> stack{{t.get(), 0}};
  while (!stack.empty()) {
    auto& [n, stage] = stack.back();
    if (node_is_leaf(n)) {
      for (char ch : leaf_text(n)) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c == '\n') {
          out += "\\n";
        } else if (c < 0x20 || c >= 0x7F) {
          static const char* hex = "0123456789ABCDEF";
          out += "\\x";
          out += hex[c >> 4];
          out += hex[c & 15];
        } else {
          out += ch;
        }
      }
      stack.pop_back();
    } else if (stage == 0) {
      out += '(';
      stage = 1;
      stack.push_back({pair_left(n), 0});
    } else if (stage == 1) {
      out += ' ';
      stage = 2;
      stack.push_back({pair_right(n), 0});
    } else {
      out += ')';
      stack.pop_back();
    }
  }
  return out;
}

std::string parsed(std::string_view text) { return shape(parse_expression(text)); }

TEST(Shapes, PrecedenceAndAssociativity) {
  EXPECT_EQ(parsed("1+2*3"), "((+ 1) ((* 2) 3))");
  EXPECT_EQ(parsed("2^3^2"), "((^ 2) ((^ 3) 2))");
  EXPECT_EQ(parsed("8-3-1"), "((- ((- 8) 3)) 1)");
  EXPECT_EQ(parsed("a-b+c"), "((+ ((- a) b)) c)");
  EXPECT_EQ(parsed("a=b<c"), "((= a) ((< b) c))");
  EXPECT_EQ(parsed("a\nb\nc"), "(c (b a))");
  EXPECT_EQ(parsed("a b c"), "((a b) c)");
  EXPECT_EQ(parsed("x?y\nf"), "(f ((? x) y))");
  EXPECT_EQ(parsed("f x@g y"), "(((@ (f x)) g) y)");
}

TEST(Shapes, EachLevelFoldsItsOwnWay) {
  // Right folding levels.
  EXPECT_EQ(parsed("a;b;c"), "((; a) ((; b) c))");
  EXPECT_EQ(parsed("a;b\\c"), "((; a) ((\\ b) c))");
  EXPECT_EQ(parsed("a&b|c"), "((& a) ((| b) c))");
  EXPECT_EQ(parsed("a#b>c"), "((# a) ((> b) c))");
  EXPECT_EQ(parsed("a^b^c^d"), "((^ a) ((^ b) ((^ c) d)))");
  EXPECT_EQ(shape(parse_brace_items("a,b,c")), "((, a) ((, b) c))");
  // Left folding levels.
  EXPECT_EQ(parsed("a?b?c"), "((? ((? a) b)) c)");
  EXPECT_EQ(parsed("a@b@c"), "((@ ((@ a) b)) c)");
  EXPECT_EQ(parsed("a:b.c"), "((. ((: a) b)) c)");
  EXPECT_EQ(parsed("a*b/c%d'e"), "((' ((% ((/ ((* a) b)) c)) d)) e)");
  // Each level binds looser than the next one.
  EXPECT_EQ(parsed("a;b?c&d=e@f+g*h^i"),
            "((; a) ((? b) ((& c) ((= d) ((@ e) ((+ f) ((* g) ((^ h) i))))))))");
  EXPECT_EQ(parsed("a^b*c+d e=f&g\nh\\i"),
            "((\\ (h ((& ((= (((+ ((* ((^ a) b)) c)) d) e)) f)) g))) i)");
  // A space applies looser than arithmetic.
  EXPECT_EQ(parsed("f x+1"), "(f ((+ x) 1))");
}

TEST(Shapes, LambdasLetsAndBraces) {
  EXPECT_EQ(parsed("a\\b\\c\\body"), "((\\ a) ((\\ b) ((\\ c) body)))");
  EXPECT_EQ(parsed("x\\y\\x y"), "((\\ x) ((\\ y) (x y)))");
  EXPECT_EQ(parsed("q\\r\\q r H"), "((\\ q) ((\\ r) ((q r) H)))");
  EXPECT_EQ(parsed("x{v}b"), "((({ x) v) b)");
  EXPECT_EQ(parsed("p{x,y}q"), "((({ p) ((, x) y)) q)");
  EXPECT_EQ(parsed("{x}"), "((({ }) x) })");
  EXPECT_EQ(parsed("a{}b"), "((({ a) }) b)");
  EXPECT_EQ(parsed("a\\b{c}d;e"), "((\\ a) ((({ b) c) ((; d) e)))");
  EXPECT_EQ(parsed("a{b}c{d}e"), "((({ a) b) ((({ c) d) e))");
  EXPECT_EQ(parsed("x{a{b}c}y"), "((({ x) ((({ a) b) c)) y)");
  // Items are comma-separated at any level below; a single item is itself.
  EXPECT_EQ(parsed("p{a+b,c;d,}q"), "((({ p) ((, ((+ a) b)) ((, ((; c) d)) }))) q)");
  // Operators inside groups belong to the groups.
  EXPECT_EQ(parsed("(a+b)*c"), "((* ((+ a) b)) c)");
  EXPECT_EQ(parsed("x\\(y;z)"), "((\\ x) ((; y) z))");
}

TEST(Shapes, CallLists) {
  EXPECT_EQ(parsed("f(x,y)"), parsed("f x y"));
  EXPECT_EQ(parsed("f(x,y)"), "((f x) y)");
  EXPECT_EQ(parsed("f()"), "(f })");
  EXPECT_EQ(parsed("f(,)"), "((f }) })");
  EXPECT_EQ(parsed("f(a,,b,)"), "((((f a) }) b) })");
  EXPECT_EQ(parsed("a b(c)"), "(a (b c))");
  EXPECT_EQ(parsed("g(x)(a,b)"), "(((g x) a) b)");
  EXPECT_EQ(parsed("f(x+1,y)"), "((f ((+ x) 1)) y)");
  EXPECT_EQ(parsed("f(a\\b,c{d}e)"), "((f ((\\ a) b)) ((({ c) d) e))");
  EXPECT_EQ(parsed("[s](a,b)"), "(([s] a) b)");
  // A group that starts a word is an atom, not a call list.
  EXPECT_EQ(parsed("(f)(x)"), "(f x)");
  EXPECT_EQ(parsed("(f x)(y,z)"), "(((f x) y) z)");
  EXPECT_EQ(parsed("(a)"), "a");
  EXPECT_EQ(parsed("((a))"), "a");
  EXPECT_EQ(parsed("f(g(h(x)))"), "(f (g (h x)))");
}

TEST(Shapes, LastOperandsInEveryPosition) {
  EXPECT_EQ(parsed("f(a,g(b,h(c)))"), "((f a) ((g b) (h c)))");
  EXPECT_EQ(parsed("a-(b-(c-d))"), "((- a) ((- b) ((- c) d)))");
  EXPECT_EQ(parsed("a-b*(c+d)"), "((- a) ((* b) ((+ c) d)))");
  EXPECT_EQ(parsed("x?f(y)"), "((? x) (f y))");
  EXPECT_EQ(parsed("a\nf(x)"), "((f x) a)");
  EXPECT_EQ(parsed("a\nb?f(x)"), "((? (b a)) (f x))");
  EXPECT_EQ(parsed("a{b}f(c(d))"), "((({ a) b) (f (c d)))");
  EXPECT_EQ(parsed("a;b\\f x(y)"), "((; a) ((\\ b) (f (x y))))");
  EXPECT_EQ(parsed("f x(y)!"), "(f (! (x y)))");
  EXPECT_EQ(parsed("f(x)!(y)"), "((f x) (! y))");
  EXPECT_EQ(parsed("f(x)(y,z)"), "(((f x) y) z)");
  EXPECT_EQ(parsed("f(x,(y))"), "((f x) y)");
  EXPECT_EQ(parsed("f(x,)"), "((f x) })");
  EXPECT_EQ(parsed("f(x,abc)"), "((f x) abc)");
  EXPECT_EQ(parsed("2^3^(4^5)"), "((^ 2) ((^ 3) ((^ 4) 5)))");
}

TEST(Shapes, OneParseSharesItsShortLeaves) {
  Term t = parse_expression("ab+12+ab+x+abcd");
  // ((+ ((+ ((+ ((+ ab) 12)) ab)) x)) abcd)
  auto left_arg = [](const Node* n) { return pair_right(pair_left(n)); };
  const Node* n3 = left_arg(t.get());
  const Node* n2 = left_arg(n3);
  const Node* n1 = left_arg(n2);
  EXPECT_EQ(pair_left(pair_left(t.get())), pair_left(pair_left(n1)));  // the + leaves
  EXPECT_EQ(left_arg(n1), pair_right(n2));                               // ab and ab
  EXPECT_EQ(shape(t), "((+ ((+ ((+ ((+ ab) 12)) ab)) x)) abcd)");
  // Another parse makes its own.
  Term u = parse_expression("ab+12");
  EXPECT_NE(pair_right(pair_left(u.get())), left_arg(n1));
}

TEST(Shapes, Affixes) {
  EXPECT_EQ(parsed("!~x"), "(! (~ x))");
  EXPECT_EQ(parsed("x~!"), "(! (~ x))");
  EXPECT_EQ(parsed("x!~"), "(~ (! x))");
  EXPECT_EQ(parsed("!x!"), "(! (! x))");
  EXPECT_EQ(parsed("f!x"), "(f (! x))");
  EXPECT_EQ(parsed("f!x$y"), "((f (! x)) ($ y))");
  EXPECT_EQ(parsed("f!~x"), "(f (! (~ x)))");
  EXPECT_EQ(parsed("f!x y"), "((f (! x)) y)");
  EXPECT_EQ(parsed("a`b\"c"), "((a (` b)) (\" c))");
  EXPECT_EQ(parsed("f!g h"), "((f (! g)) h)");
  EXPECT_EQ(parsed("f!g(x)"), "(f (! (g x)))");
  EXPECT_EQ(parsed("!f!x"), "(! (f (! x)))");
  EXPECT_EQ(parsed("x!+!y"), "((+ (! x)) (! y))");
  EXPECT_EQ(parsed("!"), "(! })");
  EXPECT_EQ(parsed("!!"), "(! (! }))");
  EXPECT_EQ(parsed("$(a b)"), "($ (a b))");
  // Affixes inside groups and literals are not cut at this level.
  EXPECT_EQ(parsed("f(!x)"), "(f (! x))");
  EXPECT_EQ(parsed("f[a!b]"), "(f [a!b])");
}

TEST(Shapes, WordsAndEmptyOperands) {
  EXPECT_EQ(parsed(""), "}");
  EXPECT_EQ(parsed("()"), "}");
  EXPECT_EQ(parsed("-5"), "((- }) 5)");
  EXPECT_EQ(parsed("+b"), "((+ }) b)");
  EXPECT_EQ(parsed("a+"), "((+ a) })");
  EXPECT_EQ(parsed("a++b"), "((+ ((+ a) })) b)");
  EXPECT_EQ(parsed("aS BKK"), "((a S) ((B K) K))");
  EXPECT_EQ(parsed("12ab"), "(12 ab)");
  EXPECT_EQ(parsed("[a b]"), "[a b]");
  EXPECT_EQ(parsed("[a+b\\c{]"), "[a+b\\c{]");
  EXPECT_EQ(parsed("[x]y"), "([x] y)");
  EXPECT_EQ(parsed("a\r\nb"), "(b (a \\x0D))");
  EXPECT_EQ(parsed(std::string("x\0y", 3)), "((x \\n) y)");
  EXPECT_EQ(parsed("\xFF\x01"), "(\\xFF \\x01)");
}

TEST(Shapes, PreludeEntries) {
  EXPECT_EQ(parsed("A\\a\\aS BKK"), "((\\ A) ((\\ a) ((a S) ((B K) K))))");
  EXPECT_EQ(parsed("E\\a\\b\\c\\d\\e\\a b c(d)e"),
            "((\\ E) ((\\ a) ((\\ b) ((\\ c) ((\\ d) ((\\ e) ((a b) ((c d) e))))))))");
  EXPECT_EQ(parsed("G\\a\\VZ BW(BC)DDV(V XJ)"),
            "((\\ G) ((\\ a) ((V Z) ((((((B W) (B C)) D) D) V) (V (X J))))))");
  EXPECT_EQ(parsed("[{]\\a\\b\\c\\Z"), "((\\ [{]) ((\\ a) ((\\ b) ((\\ c) Z))))");
  EXPECT_EQ(parsed("[\\]\\a\\I"), "((\\ [\\]) ((\\ a) I))");
  EXPECT_EQ(parsed("[\"]\\I"), "((\\ [\"]) I)");
  EXPECT_EQ(parsed("f()\\g x"), "((\\ (f })) (g x))");
}

// Commas in a parenthesised group that is not a call list glue to the word before them.
TEST(Shapes, WordsCarryingCommas) {
  EXPECT_EQ(parsed("!(a,b)"), "(! (a, b))");
  EXPECT_EQ(parsed("((I,7))"), "(I, 7)");
  EXPECT_EQ(parsed("((12,7))"), "(12, 7)");
  EXPECT_EQ(parsed("((a,,b))"), "(a,, b)");
  EXPECT_EQ(parsed("((,a))"), "(, a)");
  // After a closing group every byte starts a word, so there a comma stands alone.
  EXPECT_EQ(parsed("(((x),y))"), "((x ,) y)");
  EXPECT_EQ(parsed("(([x],y))"), "(([x] ,) y)");
  EXPECT_EQ(parsed(std::string("((\0,y))", 7)), "(\\n, y)");
  EXPECT_EQ(parsed("!(f(a,b),c)"), "(! ((((f a) b) ,) c))");
  Term glued = parse_expression("((12,7))");
  EXPECT_EQ(leaf_text(left_of(glued)), "12,");
}

}  // namespace
