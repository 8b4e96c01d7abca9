#include "frontend/parser.h"

#include <unordered_map>
#include <utility>
#include <vector>

#include "diagnostics/diagnostics.h"
#include "diagnostics/stack_room.h"

// The short leaves parsing makes over and over, each made once and shared: a long program
// holds millions of them. Nothing has analysed them yet, so sharing them is what interning
// does later anyway.
struct LeafCache {
  Term bytes[256];
  std::unordered_map<uint32_t, Term> words;  // up to three bytes, with the length
};

namespace {

// Operators of the binary levels 0..8, loosest first, and how each level folds.
constexpr int kLastBinaryLevel = 8;
constexpr ByteSet kLevelOperators[kLastBinaryLevel + 1] = {
    ByteSet(","),  ByteSet(";\\{"), ByteSet("?\n"),  ByteSet("&|"), ByteSet("=<>#"),
    ByteSet("@ "), ByteSet("+-:."), ByteSet("*/%'"), ByteSet("^"),
};
constexpr bool kFoldsRight[kLastBinaryLevel + 1] = {true,  true,  false, true, true,
                                                    false, false, false, true};
constexpr ByteSet kAffixes(kAffixChars);
constexpr ByteSet kComma(",");

inline unsigned char byte_at(const TextIndex& x, int64_t i) {
  return static_cast<unsigned char>(x.text[size_t(i)]);
}

LeafCache* leaf_cache = nullptr;  // the outermost SharedLeaves', while one lives

Term short_leaf(std::string_view text) {
  if (!leaf_cache || text.size() > 3) return make_leaf(text);
  if (text.size() == 1) {
    Term& t = leaf_cache->bytes[static_cast<unsigned char>(text[0])];
    if (!t) t = make_leaf(text);
    return t;
  }
  uint32_t key = uint32_t(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    key |= uint32_t(static_cast<unsigned char>(text[i])) << (8 * (i + 1));
  }
  Term& t = leaf_cache->words[key];
  if (!t) t = make_leaf(text);
  return t;
}

Term byte_leaf(unsigned char c) {
  const char ch = char(c);
  return short_leaf(std::string_view(&ch, 1));
}

Term empty_leaf() { return short_leaf("}"); }

// A range of only word characters or only digits: a plain word, its own leaf.
bool is_plain_word(const TextIndex& x, int64_t begin, int64_t end) {
  if (begin >= end) return false;
  const bool digits = is_digit(byte_at(x, begin));
  for (int64_t i = begin; i < end; ++i) {
    const unsigned char c = byte_at(x, i);
    if (digits ? !is_digit(c) : !is_word_char(c)) return false;
  }
  return true;
}

Term plain_word(const TextIndex& x, int64_t begin, int64_t end) {
  return short_leaf(x.text.substr(size_t(begin), size_t(end - begin)));
}

// The atom of one word; short plain words and one-byte words are shared.
Term atom(const TextIndex& x, int64_t begin, int64_t end) {
  if (is_plain_word(x, begin, end)) return plain_word(x, begin, end);
  if (end - begin == 1) {
    const unsigned char c = byte_at(x, begin);
    if (c != '(' && c != '[') return c == '\0' ? short_leaf("\n") : byte_leaf(c);
  }
  return make_atom(x, begin, end);
}

// One operator of a binary level: the bytes [start, end) it takes up. A brace takes up its
// whole group, whose inside holds the items.
struct Cut {
  int64_t start;
  int64_t end;
};

// The last operator of the level in [begin, end), found walking backwards over whole groups;
// start is begin - 1 when there is none.
Cut last_cut(const TextIndex& x, int level, int64_t begin, int64_t end) {
  const ByteSet& ops = kLevelOperators[level];
  for (int64_t i = end - 1; i >= begin; --i) {
    const unsigned char c = byte_at(x, i);
    if (closes_group(x, i, begin)) {
      const int64_t opener = x.partner[size_t(i)];
      if (c == '}' && ops.has('{')) return {opener, i + 1};
      i = opener;
    } else if (ops.has(c) && c != '{') {  // an unpaired brace is an ordinary byte
      return {i, i + 1};
    }
  }
  return {begin - 1, begin - 1};
}

// The first byte of the set in [i, end) outside groups, or end.
int64_t next_in_set(const TextIndex& x, int64_t i, int64_t end, const ByteSet& set) {
  for (; i < end; ++i) {
    if (set.has(byte_at(x, i))) return i;
    if (opens_group(x, i, end)) i = x.partner[size_t(i)];
  }
  return end;
}

int64_t skip_affixes(const TextIndex& x, int64_t i, int64_t end) {
  while (i < end && is_affix(byte_at(x, i))) ++i;
  return i;
}

// Wraps the affix operators at [begin, end) around inner, the one nearest inner innermost.
Term wrap_prefixes(const TextIndex& x, int64_t begin, int64_t end, Term inner) {
  for (int64_t i = end - 1; i >= begin; --i) {
    inner = make_pair(byte_leaf(byte_at(x, i)), std::move(inner));
  }
  return inner;
}

Term parse_level(const TextIndex& x, int level, int64_t begin, int64_t end);

// Whether [begin, end) is exactly one group opened by the given byte.
inline bool is_group(const TextIndex& x, unsigned char opener, int64_t begin, int64_t end) {
  return end - begin >= 2 && byte_at(x, begin) == opener && x.partner[size_t(begin)] == end - 1;
}

// The range of the last argument that a parse leaves to its caller's frame.
struct Tail {
  int64_t begin = 0;
  int64_t end = -1;  // before begin: none
};

// Juxtaposition of words: the first word is an atom; a later word that is exactly one
// parenthesised group is a call list whose comma-separated pieces are applied in order. Given
// a tail, a last word that is a call list leaves its last piece unparsed there, and the result
// is the function that piece is to be applied to.
Term juxtapose(const TextIndex& x, int64_t begin, int64_t end, Tail* tail = nullptr) {
  if (begin >= end) return empty_leaf();
  int64_t word = begin;
  int64_t next = next_word_start(x, word, end);
  Term acc = is_group(x, '(', word, next) ? parse_level(x, 1, word + 1, next - 1)
                                          : atom(x, word, next);
  while (next < end) {
    word = next;
    next = next_word_start(x, word, end);
    if (is_group(x, '(', word, next)) {
      const int64_t close = next - 1;
      for (int64_t piece = word + 1;;) {
        const int64_t comma = next_in_set(x, piece, close, kComma);
        if (comma >= close && tail && next >= end) {
          *tail = {piece, comma};
          return acc;
        }
        acc = make_pair(std::move(acc), parse_level(x, 1, piece, comma));
        if (comma >= close) break;
        piece = comma + 1;
      }
    } else {
      acc = make_pair(std::move(acc), atom(x, word, next));
    }
  }
  return acc;
}

// A piece that starts with a run of affixes: the run's operators around the word after it.
Term affix_piece(const TextIndex& x, int64_t begin, int64_t end) {
  core_assert(end - begin >= 2, 5516);
  const int64_t run_end = skip_affixes(x, begin, end);
  return wrap_prefixes(x, begin, run_end, juxtapose(x, run_end, end));
}

// Affix runs inside a word cut it: "f!x$y" is ((f (! x)) ($ y)).
Term affix_runs(const TextIndex& x, int64_t begin, int64_t end) {
  int64_t cut = affix_position(x, begin, end, kAffixes);
  if (cut < 0) return juxtapose(x, begin, end);
  Term acc = juxtapose(x, begin, cut);
  while (cut >= 0) {
    const int64_t next = affix_position(x, skip_affixes(x, cut, end), end, kAffixes);
    const int64_t piece_end = next < 0 ? end : next;
    acc = make_pair(std::move(acc), affix_piece(x, cut, piece_end));
    cut = next;
  }
  return acc;
}

// Affixes as the first bytes: "~!x" is (~ (! x)).
Term prefixed(const TextIndex& x, int64_t begin, int64_t end) {
  core_assert(begin < end, 5489);
  const int64_t run_end = skip_affixes(x, begin, end);
  Term inner = run_end < end ? affix_runs(x, run_end, end) : empty_leaf();
  return wrap_prefixes(x, begin, run_end, std::move(inner));
}

// Below the binary levels: affixes as the last bytes, stripped from the end, so "x!~" is
// (~ (! x)); then prefixes, affix runs inside words, and words.
Term parse_operand(const TextIndex& x, int64_t begin, int64_t end) {
  int64_t core_end = end;
  while (core_end > begin && is_affix(byte_at(x, core_end - 1))) --core_end;
  Term inner = core_end > begin ? prefixed(x, begin, core_end) : empty_leaf();
  for (int64_t i = core_end; i < end; ++i) {
    inner = make_pair(byte_leaf(byte_at(x, i)), std::move(inner));
  }
  return inner;
}

// Whether the operand [begin, end) is a plain juxtaposition, without affixes.
bool is_juxtaposition(const TextIndex& x, int64_t begin, int64_t end) {
  return begin < end && !is_affix(byte_at(x, begin)) && !is_affix(byte_at(x, end - 1)) &&
         affix_position(x, begin, end, kAffixes) < 0;
}

// The binary levels from the given one down. A level without an operator in the range hands
// it to the next level in this same frame, and a range that is one parenthesised group goes
// back to level 1 with its inside, as the word it is would; so plain nesting costs no frames.
// Long operator chains are folded in loops. The last operand of a chain or of a call list is
// parsed in this frame too, its function kept in `waiting` until it is done, so that a right
// spine costs one handle a level, not a frame; other nesting under operators costs one frame.
Term parse_spine(const TextIndex& x, int level, int64_t begin, int64_t end,
                 std::vector<Term>& waiting) {
  for (;;) {
    if (is_plain_word(x, begin, end)) return plain_word(x, begin, end);
    bool descended = false;
    for (; level <= kLastBinaryLevel && !descended; ++level) {
      if (kFoldsRight[level]) {
        Cut cut = last_cut(x, level, begin, end);
        if (cut.start < begin) continue;
        std::vector<Cut> cuts{cut};  // right to left
        for (;;) {
          const Cut previous = last_cut(x, level, begin, cuts.back().start);
          if (previous.start < begin) break;
          cuts.push_back(previous);
        }
        int64_t piece = begin;
        for (size_t k = cuts.size(); k-- > 0;) {
          const Cut c = cuts[k];
          Term left = parse_level(x, level + 1, piece, c.start);
          const unsigned char op = byte_at(x, c.start);
          if (op == '{') {
            Term items = parse_level(x, 0, c.start + 1, c.end - 1);
            waiting.push_back(apply2(byte_leaf(op), std::move(left), std::move(items)));
          } else {
            waiting.push_back(make_pair(byte_leaf(op), std::move(left)));
          }
          piece = c.end;
        }
        begin = piece;
        descended = true;
        continue;
      }
      const ByteSet& ops = kLevelOperators[level];
      int64_t op_at = next_in_set(x, begin, end, ops);
      if (op_at >= end) continue;
      Term acc = parse_level(x, level + 1, begin, op_at);
      for (;;) {
        const int64_t next = next_in_set(x, op_at + 1, end, ops);
        const unsigned char op = byte_at(x, op_at);
        if (next >= end && op != '\n') {
          waiting.push_back(op == ' ' ? std::move(acc) : make_pair(byte_leaf(op), std::move(acc)));
          begin = op_at + 1;
          break;
        }
        Term piece = parse_level(x, level + 1, op_at + 1, next);
        if (op == '\n') {
          acc = make_pair(std::move(piece), std::move(acc));
        } else if (op == ' ') {
          acc = make_pair(std::move(acc), std::move(piece));
        } else {
          acc = apply2(byte_leaf(op), std::move(acc), std::move(piece));
        }
        if (next >= end) return acc;
        op_at = next;
      }
      descended = true;
    }
    if (descended) {
      // The last operand, at the level after the one that was cut.
      continue;
    }
    if (is_group(x, '(', begin, end)) {
      level = 1, ++begin, --end;
      continue;
    }
    if (!is_juxtaposition(x, begin, end)) return parse_operand(x, begin, end);
    Tail tail;
    Term function = juxtapose(x, begin, end, &tail);
    if (tail.end < tail.begin) return function;
    waiting.push_back(std::move(function));
    level = 1, begin = tail.begin, end = tail.end;
  }
}

Term parse_level_here(const TextIndex& x, int level, int64_t begin, int64_t end) {
  std::vector<Term> waiting;
  Term t = parse_spine(x, level, begin, end, waiting);
  while (!waiting.empty()) {
    t = make_pair(std::move(waiting.back()), std::move(t));
    waiting.pop_back();
  }
  return t;
}

// Nesting under operators recurses; a deep one continues on a fresh stack.
Term parse_level(const TextIndex& x, int level, int64_t begin, int64_t end) {
  return with_stack_room([&] { return parse_level_here(x, level, begin, end); });
}

}  // namespace

SharedLeaves::SharedLeaves() {
  if (!leaf_cache) leaf_cache = owned_ = new LeafCache;
}

SharedLeaves::~SharedLeaves() {
  if (owned_) {
    leaf_cache = nullptr;
    delete owned_;
  }
}

Term parse_expression(const TextIndex& x, int64_t begin, int64_t end) {
  SharedLeaves shared;
  return parse_level(x, 1, begin, end);
}

Term parse_brace_items(const TextIndex& x, int64_t begin, int64_t end) {
  SharedLeaves shared;
  return parse_level(x, 0, begin, end);
}

Term parse_expression(std::string_view text) {
  const TextIndex x = index_text(text);
  return parse_expression(x, 0, int64_t(text.size()));
}

Term parse_brace_items(std::string_view text) {
  const TextIndex x = index_text(text);
  return parse_brace_items(x, 0, int64_t(text.size()));
}
