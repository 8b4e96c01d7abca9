#include "primitives/data_reading.h"

#include <string_view>
#include <unordered_map>

#include "diagnostics/diagnostics.h"
#include "diagnostics/memory_budget.h"
#include "primitives/shapes.h"
#include "terms/data_values.h"
#include "terms/term_walks.h"

namespace {

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

DataElements data_elements(const Term& data) {
  DataElements e;
  const Node* x = data.get();
  for (; node_is_pair(x); x = pair_left(x)) e.rights.push_back(pair_right(x));
  e.content = data_leaf_content(x);
  e.spans = element_spans(e.content);
  return e;
}

std::string element_slice_bytes(const DataElements& elements, uint64_t start, uint64_t n) {
  uint64_t size = 0;
  for (uint64_t k = start; k < start + n; ++k) {
    if (k < elements.spans.size()) {
      size = size_sum(size, elements.spans[k].end - elements.spans[k].start);
    } else {
      size = size_sum(size, data_length(elements.rights[elements.count() - 1 - k]));
    }
  }
  require_memory(size);
  std::string bytes;
  for (uint64_t k = start; k < start + n; ++k) {
    if (k < elements.spans.size()) {
      const Span& s = elements.spans[k];
      bytes.append(elements.content.substr(s.start, s.end - s.start));
    } else {
      bytes += flatten(elements.rights[elements.count() - 1 - k]);
    }
  }
  return bytes;
}

unsigned char data_first_byte(const Term& data) {
  // Three bytes tell a character from the groups "[p]", "[q]" and "[r]".
  std::string content = flatten_prefix(data.get(), 3);
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
  const FormTable& forms = form_table();
  std::vector<size_t> opens;  // where the groups being decoded start, innermost last
  // A node of the J tree is a term ((J l) r); its leaves must be K.
  auto split = [](const Node* n, const Node*& l, const Node*& r) {
    Node* left = nullptr;
    Node* right = nullptr;
    if (!letter_pair(n, "J", left, right)) return false;
    l = left;
    r = right;
    return true;
  };
  return walk_in_order(j, split, [&](const Node* n, WalkStep where) {
    switch (where) {
      case WalkStep::leaf:
        return leaf_is(n, "K");
      case WalkStep::enter:
        break;
      case WalkStep::between:
        opens.push_back(content.size());
        content.push_back('[');
        break;
      case WalkStep::leave: {
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
        break;
      }
    }
    return true;
  });
}
