#include "frontend/program_text.h"

#include <algorithm>

#include "diagnostics/diagnostics.h"
#include "frontend/parser.h"

namespace {

constexpr ByteSet kBinaryOperators(kBinaryOperatorChars);
constexpr ByteSet kAffixes(kAffixChars);

constexpr ByteSet make_special_set() {
  ByteSet s(kBinaryOperatorChars);
  for (char c : kAffixChars) s.add(static_cast<unsigned char>(c));
  for (char c : kBracketChars) s.add(static_cast<unsigned char>(c));
  s.add(' ');
  s.add('\n');
  return s;
}
constexpr ByteSet kSpecial = make_special_set();

inline unsigned char byte_at(std::string_view text, int64_t i) {
  return static_cast<unsigned char>(text[size_t(i)]);
}

// Partner of a "[" or "]": only literal brackets nest. The walk must stay in the text.
int64_t matching_square(std::string_view text, int64_t position) {
  const int64_t n = int64_t(text.size());
  const int64_t step = byte_at(text, position) == '[' ? 1 : -1;
  int64_t depth = 0;
  for (int64_t i = position;; i += step) {
    core_assert(i >= 0, 5206);
    core_assert(i < n, 5207);
    unsigned char c = byte_at(text, i);
    if (c == '[') {
      depth += step;
    } else if (c == ']') {
      depth -= step;
    }
    core_assert(depth >= 0, 5215);
    if (depth == 0) return i;
  }
}

// Whether a new word begins at a byte c that follows the byte p.
inline bool starts_word(unsigned char p, unsigned char c) {
  return p == ']' || p == ')' || c == '[' || c == '(' || (is_word_char(c) && !is_word_char(p)) ||
         (is_digit(c) && !is_digit(p)) || is_single(c);
}

// A leaf whose text the store reads as a name: any first byte but a digit, "[", "(" or space.
inline bool starts_name(unsigned char c) {
  return !is_digit(c) && c != '[' && c != '(' && c != ' ';
}

// A word that is more than a digit run, a lower-case word, one bracket group or one byte. In
// checked text that is a digit run, a lower-case word, a single byte or a comma followed by
// commas ("12,", "a,", "I,", ",,"), from a parenthesised group that is not a call list
// ("!(a,b)", "((I,7))"), whose commas the grammar does not cut at that level. It becomes one
// leaf of the whole word, which no definition can have: the linker reports any such word it
// reaches, so a word like "12," is never computed on. A NUL stands for a line feed, as in
// single-byte words. A word led by a bracket group (no word cut yields one) has its tail put
// first, so that it cannot read as a text or data leaf; a word that has no tail, such as a lone
// unpaired "(", is assertion 5274.
Term glued_word_leaf(const TextIndex& x, int64_t begin, int64_t end) {
  std::string word(x.text.substr(size_t(begin), size_t(end - begin)));
  std::replace(word.begin(), word.end(), '\0', '\n');
  unsigned char first = static_cast<unsigned char>(word[0]);
  if (is_digit(first) || starts_name(first)) return make_leaf(std::string_view(word));
  int64_t core = 1;
  if (first != ' ' && opens_group(x, begin, end)) core = x.partner[size_t(begin)] - begin + 1;
  core_assert(
      core < int64_t(word.size()) && starts_name(static_cast<unsigned char>(word[size_t(core)])),
      5274);
  std::rotate(word.begin(), word.begin() + core, word.end());
  return make_leaf(std::string_view(word));
}

bool all_of_range(std::string_view text, int64_t begin, int64_t end, bool (*test)(unsigned char)) {
  for (int64_t i = begin; i < end; ++i) {
    if (!test(byte_at(text, i))) return false;
  }
  return true;
}

}  // namespace

ByteClass byte_class(unsigned char c) {
  if (is_blank(c)) return ByteClass::Blank;
  if (is_bracket(c)) return ByteClass::Bracket;
  if (kBinaryOperators.has(c)) return ByteClass::BinaryOperator;
  if (kAffixes.has(c)) return ByteClass::Affix;
  if (is_word_char(c)) return ByteClass::WordChar;
  if (is_digit(c)) return ByteClass::Digit;
  return ByteClass::Single;
}

bool is_special(unsigned char c) { return kSpecial.has(c); }
bool is_blank_absorbing(unsigned char c) { return is_blank(c) || kBinaryOperators.has(c); }

std::string normalize_blanks(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && is_blank(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && is_blank(static_cast<unsigned char>(text[end - 1]))) --end;
  std::string out;
  out.reserve(end - begin);
  size_t i = begin;
  while (i < end) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '[') {
      // A data literal keeps its spaces, except those that end a line, and loses line feeds.
      int64_t depth = 0;
      size_t pending = 0;
      while (i < end) {
        c = static_cast<unsigned char>(text[i++]);
        if (c == '\n') {
          pending = 0;
        } else if (c == ' ') {
          ++pending;
        } else {
          out.append(pending, ' ');
          pending = 0;
          out += char(c);
          if (c == '[') ++depth;
          if (c == ']' && --depth == 0) break;
        }
      }
    } else if (!is_blank(c)) {
      out += char(c);
      ++i;
    } else {
      size_t j = i;
      bool line_feed = false;
      while (j < end && is_blank(static_cast<unsigned char>(text[j]))) {
        line_feed |= text[j++] == '\n';
      }
      unsigned char before = static_cast<unsigned char>(text[i - 1]);
      unsigned char after = static_cast<unsigned char>(text[j]);
      bool dropped = is_blank_absorbing(before) || before == '(' || before == '{' ||
                     before == '}' || is_blank_absorbing(after) || after == ')' || after == '{' ||
                     after == '}';
      if (!dropped) out += line_feed ? '\n' : ' ';
      i = j;
    }
  }
  return out;
}

int64_t matching_bracket(std::string_view text, int64_t position) {
  const int64_t n = int64_t(text.size());
  core_assert(position >= 0, 5206);
  core_assert(position < n, 5207);
  unsigned char c = byte_at(text, position);
  if (c == '[' || c == ']') return matching_square(text, position);
  if (!is_bracket(c)) return position;
  const int64_t step = is_opener(c) ? 1 : -1;
  int64_t depth = 0;
  for (int64_t i = position;; i += step) {
    core_assert(i >= 0, 5206);
    core_assert(i < n, 5207);
    unsigned char b = byte_at(text, i);
    if (b == '[' || b == ']') {
      int64_t j = matching_square(text, i);
      core_assert((j - i) * step > 0, 5215);
      i = j;
      continue;
    }
    if (b == '(' || b == '{') {
      depth += step;
    } else if (b == ')' || b == '}') {
      depth -= step;
    }
    core_assert(depth >= 0, 5215);
    if (depth == 0) return i;
  }
}

std::vector<int64_t> operator_positions(std::string_view text, const ByteSet& set) {
  std::vector<int64_t> found;
  for (int64_t i = 0; i < int64_t(text.size()); ++i) {
    unsigned char c = byte_at(text, i);
    if (set.has(c)) found.push_back(i);
    // A closer out here has no partner ahead; never walk backwards.
    if (is_bracket(c)) i = std::max(i, matching_bracket(text, i));
  }
  return found;
}

int64_t affix_position(std::string_view text, int64_t start, const ByteSet& set) {
  int64_t depth = 0;
  int64_t literal = 0;  // nesting inside a data literal, which does not touch depth
  for (int64_t i = std::max<int64_t>(start, 0); i < int64_t(text.size()); ++i) {
    unsigned char c = byte_at(text, i);
    if (literal > 0) {
      if (c == '[') {
        ++literal;
      } else if (c == ']') {
        --literal;
      }
      continue;
    }
    if (depth == 0 && set.has(c)) return i;
    if (c == '[') {
      literal = 1;
    } else if (c == '(' || c == '{') {
      ++depth;
    } else if (depth > 0 && is_closer(c)) {
      --depth;
    }
  }
  return -1;
}

std::vector<int64_t> word_starts(std::string_view text) {
  std::vector<int64_t> starts;
  const int64_t n = int64_t(text.size());
  if (n == 0) return starts;
  starts.push_back(0);
  int64_t i = 1;
  unsigned char first = byte_at(text, 0);
  if (first == '[' || first == '(') i = matching_bracket(text, 0) + 1;
  for (; i < n; ++i) {
    unsigned char c = byte_at(text, i);
    if (starts_word(byte_at(text, i - 1), c)) starts.push_back(i);
    if (c == '[' || c == '(') i = std::max(i, matching_bracket(text, i));
  }
  return starts;
}

Term make_atom(std::string_view word) {
  TextIndex x = index_text(word);
  return make_atom(x, 0, int64_t(word.size()));
}

std::string position_code(int64_t position) {
  if (position == 0x40000000) return "!!!!!";
  core_assert(position >= 0 && position <= 0x3FFFFFFF, 7663);
  std::string code(5, ',');
  for (int k = 4; k >= 0; --k) {
    code[size_t(k)] = kCountAlphabet[position & 63];
    position >>= 6;
  }
  return code;
}

TextIndex index_text(std::string_view text) {
  TextIndex x{text, std::vector<int64_t>(text.size())};
  std::vector<int64_t> open;
  for (int64_t i = 0; i < int64_t(text.size()); ++i) {
    x.partner[size_t(i)] = i;
    unsigned char c = byte_at(text, i);
    bool in_literal = !open.empty() && byte_at(text, open.back()) == '[';
    if (in_literal && c != '[' && c != ']') continue;
    if (is_opener(c)) {
      open.push_back(i);
    } else if (is_closer(c) && !open.empty()) {
      unsigned char o = byte_at(text, open.back());
      if ((o == '(' && c == ')') || (o == '[' && c == ']') || (o == '{' && c == '}')) {
        x.partner[size_t(i)] = open.back();
        x.partner[size_t(open.back())] = i;
        open.pop_back();
      }
    }
  }
  return x;
}

std::vector<int64_t> operator_positions(const TextIndex& x, int64_t begin, int64_t end,
                                        const ByteSet& set) {
  std::vector<int64_t> found;
  for (int64_t i = begin; i < end; ++i) {
    if (set.has(byte_at(x.text, i))) found.push_back(i);
    if (opens_group(x, i, end)) i = x.partner[size_t(i)];
  }
  return found;
}

int64_t affix_position(const TextIndex& x, int64_t start, int64_t end, const ByteSet& set) {
  for (int64_t i = start; i < end; ++i) {
    if (set.has(byte_at(x.text, i))) return i;
    if (opens_group(x, i, end)) i = x.partner[size_t(i)];
  }
  return -1;
}

int64_t next_word_start(const TextIndex& x, int64_t w, int64_t end) {
  int64_t i = w + 1;
  unsigned char first = byte_at(x.text, w);
  if ((first == '(' || first == '[') && opens_group(x, w, end)) i = x.partner[size_t(w)] + 1;
  for (; i < end; ++i) {
    if (starts_word(byte_at(x.text, i - 1), byte_at(x.text, i))) return i;
  }
  return end;
}

std::vector<int64_t> word_starts(const TextIndex& x, int64_t begin, int64_t end) {
  std::vector<int64_t> starts;
  for (int64_t w = begin; w < end; w = next_word_start(x, w, end)) starts.push_back(w);
  return starts;
}

Term make_atom(const TextIndex& x, int64_t begin, int64_t end) {
  if (begin >= end) return make_leaf("}");
  const unsigned char first = byte_at(x.text, begin);
  const std::string_view word = x.text.substr(size_t(begin), size_t(end - begin));
  if (is_digit(first)) {
    if (all_of_range(x.text, begin, end, is_digit)) return make_leaf(word);
  } else if (is_word_char(first)) {
    if (all_of_range(x.text, begin, end, is_word_char)) return make_leaf(word);
  } else if (first == '[' || first == '(') {
    if (x.partner[size_t(begin)] == end - 1 && end - begin >= 2) {
      if (first == '(') return parse_expression(x, begin + 1, end - 1);
      std::string data;
      data.reserve(word.size());
      for (char c : word) {
        if (c == '\n') continue;
        data += c == '\0' ? '\n' : c;
      }
      return make_leaf(std::string_view(data));
    }
  } else if (end - begin == 1) {
    return make_leaf(first == '\0' ? std::string_view("\n") : word);
  }
  return glued_word_leaf(x, begin, end);
}
