#include "terms/print.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "terms/byte_classes.h"
#include "terms/term_walks.h"

// Printing runs in two iterative passes so that neither deep spines nor long lists cost more
// than their length: the first pass decides, bottom-up, how each pair joins the texts of its
// children (which depends only on their first and last bytes); the second writes the text
// front to back into one string, never copying a finished part again.

namespace {

enum class Style { term, report };

// How a pair joins the printed forms L of its function and R of its argument.
enum Join : uint8_t {
  kGlue,    // L R
  kWrap,    // "(" L " " R ")"
  kExtend,  // L without its final ")" + " " R ")"
};

// What the join rules need to know of a printed form.
struct Shape {
  unsigned char first;
  unsigned char last;
  bool unit;    // begins with "()"
  bool single;  // exactly one byte
};

// Bytes that print glued to what follows: operators, capital letters, non-printing bytes.
bool glues(unsigned char c) {
  return c != 0 && (is_operator_character(c) || is_capital(c) || c < 0x20 || c > 0x7E);
}

bool starts_word(unsigned char c) { return is_name_char(c); }

std::string real_form(std::string_view text) {
  double value = 0;
  if (text.size() >= 9) std::memcpy(&value, text.data() + 1, sizeof value);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%e", value);
  return "real[" + std::string(buffer) + "]";
}

std::string init_form(const Node* leaf) {
  std::string out = "init[";
  for (char c : text_payload(leaf)) {
    switch (c) {
      case '\n': out += "[p]"; break;
      case '[': out += "[q]"; break;
      case ']': out += "[r]"; break;
      case '\0': out += '\n'; break;
      default: out += c;
    }
  }
  out += ']';
  return out;
}

std::string leaf_form(const Node* leaf, Style style) {
  std::string_view text = leaf_text(leaf);
  unsigned char c = text.empty() ? 0 : static_cast<unsigned char>(text[0]);
  if (style == Style::term) {
    if (c == 0 || c == ')' || c == ']') return "()";
    if (c == ' ') return real_form(text);
    if (c == '(') return init_form(leaf);
    return std::string(text);
  }
  if (c == '(' || c == ' ' || c == 0 || c == ')' || c == ']' || c < 0x20 || c > 0x7E) return "()";
  if (c == '[') return text.size() <= 999 ? source_form(text) : "()";
  return std::string(text);
}

Shape leaf_shape(const Node* leaf, Style style) {
  std::string form = leaf_form(leaf, style);
  return {static_cast<unsigned char>(form.front()), static_cast<unsigned char>(form.back()),
          form.compare(0, 2, "()") == 0, form.size() == 1};
}

Join choose_join(const Shape& l, const Shape& r) {
  if (l.first != '(' && glues(l.last)) {
    if (r.single && glues(r.first)) return kGlue;
    if (starts_word(r.first)) return kGlue;
  }
  if (l.first != '(' || l.unit) return kWrap;
  return kExtend;
}

Shape joined_shape(Join join, const Shape& l, const Shape& r) {
  if (join == kGlue) return {l.first, r.last, false, false};
  return {'(', ')', false, false};
}

// First pass: the join of every pair occurrence, in pre-order (function before argument).
std::vector<uint8_t> plan_joins(const Node* root, Style style) {
  std::vector<uint8_t> joins;
  std::vector<size_t> slots;  // of the pairs being folded, innermost last
  fold_tree<Shape>(
      root,
      [&](const Node* n) -> std::optional<Shape> {
        if (node_is_leaf(n)) return leaf_shape(n, style);
        slots.push_back(joins.size());
        joins.push_back(kWrap);
        return std::nullopt;
      },
      [&](const Node*, const Shape& l, const Shape& r) {
        Join join = choose_join(l, r);
        joins[slots.back()] = join;
        slots.pop_back();
        return joined_shape(join, l, r);
      });
  return joins;
}

// Second pass: writes the text, consuming the joins in the order the first pass made them. An
// extended list's function part always ends in ")", which is taken back before the argument.
std::string print_with(const Node* root, Style style) {
  std::vector<uint8_t> joins = plan_joins(root, style);
  std::string out;
  size_t next_join = 0;
  std::vector<uint8_t> open;  // joins of the pairs being written, innermost last
  walk_in_order(root, [&](const Node* n, WalkStep where) {
    switch (where) {
      case WalkStep::leaf:
        out += leaf_form(n, style);
        break;
      case WalkStep::enter:
        open.push_back(joins[next_join++]);
        if (open.back() == kWrap) out.push_back('(');
        break;
      case WalkStep::between:
        if (open.back() == kExtend) out.pop_back();
        if (open.back() != kGlue) out.push_back(' ');
        break;
      case WalkStep::leave:
        if (open.back() != kGlue) out.push_back(')');
        open.pop_back();
        break;
    }
    return true;
  });
  return out;
}

}  // namespace

std::string print_term(const Node* t) { return print_with(t, Style::term); }

std::string print_report(const Node* t) { return print_with(t, Style::report); }

std::string source_form(std::string_view bytes) {
  std::string out(bytes);
  for (char& c : out) {
    if (c == '\n') {
      c = '\0';
    } else if (c == '\0') {
      c = '\n';
    }
  }
  return out;
}
