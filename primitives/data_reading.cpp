#include "primitives/data_reading.h"

#include <string_view>
#include <unordered_map>

#include "terms/data_values.h"
#include "diagnostics/diagnostics.h"
#include "primitives/shapes.h"

namespace {

std::string_view leaf_content(const Node* leaf) {
  std::string_view text = leaf_text(leaf);
  return text.size() >= 2 ? text.substr(1, text.size() - 2) : std::string_view();
}

size_t group_end(std::string_view content, size_t start) {
  size_t depth = 0;
  for (size_t i = start; i < content.size(); ++i) {
    if (content[i] == '[') ++depth;
    if (content[i] == ']' && --depth == 0) return i + 1;
  }
  return content.size();
}

// Data forms of characters back to the characters, for decoding J trees.
struct FormTable {
  std::unordered_map<std::string, unsigned char> chars;
  size_t longest = 0;
};

const FormTable& form_table() {
  static const FormTable table = [] {
    FormTable t;
    for (unsigned c = 0; c < 256; ++c) {
      Term form = char_data_form(static_cast<unsigned char>(c));
      if (!form) continue;
      std::string text(leaf_text(form));
      if (text.size() > t.longest) t.longest = text.size();
      t.chars.emplace(std::move(text), static_cast<unsigned char>(c));
    }
    return t;
  }();
  return table;
}

}  // namespace

std::vector<Span> element_spans(std::string_view content) {
  std::vector<Span> spans;
  size_t i = 0;
  while (i < content.size()) {
    size_t end = content[i] == '[' ? group_end(content, i) : i + 1;
    spans.push_back({i, end});
    i = end;
  }
  return spans;
}

Term element_value(std::string_view element) {
  if (element.size() > 1 || element[0] == '[') return make_leaf(element);
  Term form = char_data_form(static_cast<unsigned char>(element[0]));
  core_assert(bool(form), 959);
  return form;
}

std::vector<std::string> element_bytes(const Term& data) {
  std::vector<std::string> spine;  // right children, last element first
  const Node* x = data.get();
  for (; node_is_pair(x); x = pair_left(x)) spine.push_back(flatten(pair_right(x)));
  std::string_view content = leaf_content(x);
  std::vector<std::string> elements;
  for (Span s : element_spans(content)) elements.emplace_back(content.substr(s.start, s.end - s.start));
  elements.insert(elements.end(), std::make_move_iterator(spine.rbegin()),
                  std::make_move_iterator(spine.rend()));
  return elements;
}

unsigned char data_first_byte(const Term& data) {
  std::string content = flatten(data);
  if (content.empty()) return '!';
  unsigned char c = static_cast<unsigned char>(content[0]);
  if (c == '[') {
    std::string_view group = std::string_view(content).substr(0, group_end(content, 0));
    if (group == "[p]") return '\n';
    if (group == "[q]") return '[';
    if (group == "[r]") return ']';
    return '!';
  }
  return c;
}

bool decode_j_tree(const Node* j, std::string& content) {
  enum Kind { visit, open, close };
  struct Task {
    const Node* node;
    Kind kind;
  };
  const FormTable& forms = form_table();
  std::vector<Task> tasks{{j, visit}};
  std::vector<size_t> opens;
  while (!tasks.empty()) {
    Task t = tasks.back();
    tasks.pop_back();
    if (t.kind == open) {
      opens.push_back(content.size());
      content.push_back('[');
      continue;
    }
    if (t.kind == close) {
      size_t start = opens.back();
      opens.pop_back();
      content.push_back(']');
      if (content.size() - start <= forms.longest) {
        auto found = forms.chars.find(content.substr(start));
        if (found != forms.chars.end()) {
          content.resize(start);
          content.push_back(char(found->second));
        }
      }
      continue;
    }
    if (leaf_is(t.node, "K")) continue;
    Node* l = nullptr;
    Node* r = nullptr;
    if (!letter_pair(t.node, "J", l, r)) return false;
    tasks.push_back({nullptr, close});
    tasks.push_back({r, visit});
    tasks.push_back({nullptr, open});
    tasks.push_back({l, visit});
  }
  return true;
}
