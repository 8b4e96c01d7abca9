#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "driver/big_stack.h"
#include "frontend/brackets.h"
#include "frontend/parser.h"
#include "frontend/program_text.h"

namespace {

// Walks every leaf of a term (own stack) and reports the first that the store would read as
// the wrong kind: a number with a byte other than digits and the commas of a glued word, a data leaf that is not one literal, a text or
// real leaf, or an empty name.
std::string first_bad_leaf(const Term& t) {
  std::vector<const Node*> stack{t.get()};
  while (!stack.empty()) {
    const Node* n = stack.back();
    stack.pop_back();
    if (node_is_pair(n)) {
      stack.push_back(pair_left(n));
      stack.push_back(pair_right(n));
      continue;
    }
    std::string_view text = leaf_text(n);
    unsigned char c = text.empty() ? 0 : static_cast<unsigned char>(text[0]);
    bool bad = text.empty() || c == '(' || c == ' ';
    if (c >= '0' && c <= '9') bad |= text.find_first_not_of("0123456789,") != text.npos;
    if (c == '[') bad |= text.back() != ']';
    if (bad) return std::string(text);
  }
  return "";
}

// Depth of the left spine and the leaf at its bottom.
size_t left_spine(const Term& t, std::string* bottom) {
  size_t depth = 0;
  const Node* n = t.get();
  while (node_is_pair(n)) {
    n = pair_left(n);
    ++depth;
  }
  *bottom = std::string(leaf_text(n));
  return depth;
}

// Random program text over the bytes that matter to the grammar, with brackets mostly paired.
std::string random_text(std::mt19937& rng) {
  static const std::string bytes =
      std::string("ab_z09AZ\r\x01\xFF,,,;\\?\n&|=<>#@  +-:.*/%'^~!\"$`") + std::string(1, '\0');
  static const char* openers = "([{";
  std::string text;
  std::string open;
  const int length = int(rng() % 40);
  for (int i = 0; i < length; ++i) {
    unsigned roll = rng() % 100;
    if (roll < 12) {
      char o = openers[rng() % 3];
      text += o;
      open += o;
    } else if (roll < 24 && !open.empty()) {
      char o = open.back();
      open.pop_back();
      text += rng() % 20 ? (o == '(' ? ')' : o == '[' ? ']' : '}') : ")]}"[rng() % 3];
    } else {
      text += bytes[rng() % bytes.size()];
    }
  }
  while (!open.empty() && rng() % 10) {
    char o = open.back();
    open.pop_back();
    text += o == '(' ? ')' : o == '[' ? ']' : '}';
  }
  return text;
}

TEST(Fuzz, CheckedTextAlwaysParsesIntoSoundLeaves) {
  std::mt19937 rng(20240611);
  const ByteSet comma(",");
  int parsed = 0;
  for (int round = 0; round < 60000; ++round) {
    const std::string raw = random_text(rng);
    if (check_parenthesization(raw)) continue;
    const std::string text = normalize_blanks(raw);
    ++parsed;
    // Normalising keeps a text acceptable.
    ASSERT_FALSE(check_parenthesization(text)) << raw;
    Term expression = parse_expression(text);
    ASSERT_EQ(first_bad_leaf(expression), "") << raw;
    Term items = parse_brace_items(text);
    ASSERT_EQ(first_bad_leaf(items), "") << raw;
    // The indexed forms agree with the plain ones on checked text.
    const TextIndex x = index_text(text);
    const int64_t n = int64_t(text.size());
    ASSERT_EQ(operator_positions(text, comma), operator_positions(x, 0, n, comma)) << raw;
    ASSERT_EQ(word_starts(text), word_starts(x, 0, n)) << raw;
    ASSERT_EQ(affix_position(text, 0, ByteSet(kAffixChars)),
              affix_position(x, 0, n, ByteSet(kAffixChars)))
        << raw;
    for (int64_t i = 0; i < n; ++i) {
      if (x.partner[size_t(i)] != i) {
        ASSERT_EQ(matching_bracket(text, i), x.partner[size_t(i)]) << raw;
      }
    }
  }
  EXPECT_GT(parsed, 20000);
}

std::string repeat(std::string_view piece, size_t times) {
  std::string out;
  out.reserve(piece.size() * times);
  for (size_t i = 0; i < times; ++i) out += piece;
  return out;
}

std::string nested(std::string_view open, std::string_view middle, std::string_view close,
                   size_t depth) {
  return repeat(open, depth) + std::string(middle) + repeat(close, depth);
}

// Checks, normalises and parses on the big stack; returns the term.
Term through_the_front(const std::string& raw) {
  Term result;
  run_on_big_stack([&]() {
    EXPECT_FALSE(check_parenthesization(raw));
    result = parse_expression(normalize_blanks(raw));
    return 0;
  });
  return result;
}

size_t right_spine(const Term& t) {
  size_t depth = 0;
  for (const Node* n = t.get(); node_is_pair(n); n = pair_right(n)) ++depth;
  return depth;
}

// How many lets are nested in the value position: ((({ x) value) body).
size_t let_depth(const Term& t) {
  size_t depth = 0;
  for (const Node* n = t.get(); node_is_pair(n); n = pair_right(pair_left(n))) ++depth;
  return depth;
}

TEST(Deep, AMillionLevels) {
  const size_t depth = 1000000;
  EXPECT_TRUE(leaf_is(through_the_front(nested("(", "x", ")", depth)), "x"));
  EXPECT_EQ(right_spine(through_the_front(nested("(1+", "1", ")", depth))), depth);
}

TEST(Deep, NestedGroupsOfEveryKind) {
  const size_t depth = 100000;
  EXPECT_EQ(right_spine(through_the_front(nested("f(", "x", ")", depth))), depth);
  EXPECT_EQ(right_spine(through_the_front(nested("!(", "x", ")", depth))), depth);
  EXPECT_EQ(right_spine(through_the_front(nested("x(!", "y", ")", depth))), 2 * depth);
  EXPECT_EQ(let_depth(through_the_front(nested("x{", "y", "}z", depth))), depth);
  EXPECT_EQ(let_depth(through_the_front(nested("{", "y", "}", depth))), depth);
  Term literal = through_the_front(nested("[", "", "]", depth));
  EXPECT_EQ(leaf_text(literal).size(), 2 * depth);
}

TEST(Long, FlatChainsFoldWithoutDeepRecursion) {
  const size_t n = 300000;
  std::string bottom;
  // Left folds make a left spine, right folds a right spine; neither recurses per operator.
  Term sum = parse_expression(repeat("1+", n) + "1");
  size_t adds = 0;
  for (const Node* p = sum.get(); node_is_pair(p); p = pair_right(pair_left(p))) ++adds;
  EXPECT_EQ(adds, n);
  EXPECT_EQ(left_spine(parse_expression(repeat("a ", n) + "a"), &bottom), n);
  EXPECT_EQ(left_spine(parse_expression("f(" + repeat("1,", n) + "1)"), &bottom), n + 1);
  EXPECT_EQ(bottom, "f");
  EXPECT_EQ(left_spine(parse_expression(repeat("B", n)), &bottom), n - 1);
  Term powers = parse_expression(repeat("2^", n) + "2");
  size_t right = 0;
  for (const Node* p = powers.get(); node_is_pair(p); p = pair_right(p)) ++right;
  EXPECT_EQ(right, n);
  Term items = parse_brace_items(repeat("a,", n) + "a");
  right = 0;
  for (const Node* p = items.get(); node_is_pair(p); p = pair_right(p)) ++right;
  EXPECT_EQ(right, n);
  // Affix runs of any length, before, after and inside words.
  for (const std::string& text : {repeat("!", n) + "x", "x" + repeat("!", n),
                                  "f" + repeat("!", n) + "x", repeat("f!", n) + "x"}) {
    Term t = parse_expression(text);
    EXPECT_EQ(first_bad_leaf(t), "");
  }
}

TEST(Long, AMegabyteOfDefinitions) {
  std::string raw = "a\\main(1)";
  while (raw.size() < (size_t(1) << 20)) {
    raw += ",\nname_" + std::to_string(raw.size()) +
           "\\k\\ (k<2)(1, k*fact(k-1)) + x{[data  literal]}g(x)!~ ; q\\r\\q r H";
  }
  ASSERT_FALSE(check_parenthesization(raw));
  const std::string text = normalize_blanks(raw);
  const TextIndex x = index_text(text);
  const std::vector<int64_t> commas = operator_positions(x, 0, int64_t(text.size()), ByteSet(","));
  int64_t begin = 0;
  size_t definitions = 0;
  for (size_t i = 0; i <= commas.size(); ++i) {
    int64_t end = i < commas.size() ? commas[i] : int64_t(text.size());
    Term t = parse_expression(x, begin, end);
    if (i > 0) {
      ASSERT_TRUE(is_pair(t) && is_pair(left_of(t)) && leaf_is(left_of(left_of(t)), "\\"));
      ++definitions;
    }
    begin = end + 1;
  }
  EXPECT_GT(definitions, 10000u);
}

}  // namespace
