#include "terms/print.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "terms/byte_classes.h"

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
  struct Frame {
    const Node* node;
    size_t slot;
    int stage;
    Shape left;
  };
  std::vector<uint8_t> joins;
  std::vector<Frame> frames{{root, 0, 0, {}}};
  Shape result{};
  while (!frames.empty()) {
    Frame& f = frames.back();
    if (f.stage == 0 && node_is_leaf(f.node)) {
      result = leaf_shape(f.node, style);
      frames.pop_back();
    } else if (f.stage == 0) {
      f.slot = joins.size();
      joins.push_back(kWrap);
      f.stage = 1;
      const Node* left = pair_left(f.node);
      frames.push_back({left, 0, 0, {}});
    } else if (f.stage == 1) {
      f.left = result;
      f.stage = 2;
      const Node* right = pair_right(f.node);
      frames.push_back({right, 0, 0, {}});
    } else {
      Join join = choose_join(f.left, result);
      joins[f.slot] = join;
      result = joined_shape(join, f.left, result);
      frames.pop_back();
    }
  }
  return joins;
}

// Second pass: writes the text, consuming the joins in the order the first pass made them.
std::string print_with(const Node* root, Style style) {
  std::vector<uint8_t> joins = plan_joins(root, style);
  struct Task {
    const Node* node;  // null: write `byte`
    bool drop_last;    // leave out the final byte of this node's text
    char byte;
  };
  std::string out;
  size_t next_join = 0;
  std::vector<Task> tasks{{root, false, 0}};
  while (!tasks.empty()) {
    Task t = tasks.back();
    tasks.pop_back();
    if (!t.node) {
      out.push_back(t.byte);
      continue;
    }
    if (node_is_leaf(t.node)) {
      std::string form = leaf_form(t.node, style);
      if (t.drop_last) form.pop_back();
      out += form;
      continue;
    }
    const Node* l = pair_left(t.node);
    const Node* r = pair_right(t.node);
    switch (joins[next_join++]) {
      case kGlue:
        tasks.push_back({r, t.drop_last, 0});
        tasks.push_back({l, false, 0});
        break;
      case kWrap:
        if (!t.drop_last) tasks.push_back({nullptr, false, ')'});
        tasks.push_back({r, false, 0});
        tasks.push_back({nullptr, false, ' '});
        tasks.push_back({l, false, 0});
        tasks.push_back({nullptr, false, '('});
        break;
      case kExtend:
        if (!t.drop_last) tasks.push_back({nullptr, false, ')'});
        tasks.push_back({r, false, 0});
        tasks.push_back({nullptr, false, ' '});
        tasks.push_back({l, true, 0});
        break;
    }
  }
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
