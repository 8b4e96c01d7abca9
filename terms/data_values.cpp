#include "terms/data_values.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "diagnostics/diagnostics.h"
#include "diagnostics/memory_budget.h"
#include "diagnostics/stack_room.h"
#include "terms/term_walks.h"

namespace {

// One side of a lazy comparison: the nodes still to read and the piece being read. Written by
// hand rather than with the term walks: two of them advance in step, each as far as the other.
struct ContentWalk {
  std::vector<const Node*> pending;
  std::string_view piece;
};

// Replaces the top pending node by its children, or makes a leaf the current piece.
void open_top(ContentWalk& w) {
  const Node* x = w.pending.back();
  w.pending.pop_back();
  if (node_is_leaf(x)) {
    w.piece = data_leaf_content(x);
  } else {
    w.pending.push_back(pair_right(x));
    w.pending.push_back(pair_left(x));
  }
}

// Positions of the '[' bytes of the content that have no partner ']' inside it, ascending.
// Such a stray '[' is a character of its own, like a stray ']'.
std::vector<size_t> stray_openers(std::string_view content) {
  std::vector<size_t> open;
  for (size_t i = 0; i < content.size(); ++i) {
    if (content[i] == '[') {
      open.push_back(i);
    } else if (content[i] == ']' && !open.empty()) {
      open.pop_back();
    }
  }
  return open;  // what is left never found its partner
}

// Calls visit(start, end) for each element of the content in order until it returns false.
template <class Visit>
void for_each_element(std::string_view content, Visit&& visit) {
  std::vector<size_t> stray = stray_openers(content);
  size_t next_stray = 0;
  size_t i = 0;
  while (i < content.size()) {
    while (next_stray < stray.size() && stray[next_stray] < i) ++next_stray;
    bool group = content[i] == '[' && !(next_stray < stray.size() && stray[next_stray] == i);
    size_t end = i + 1;
    if (group) {
      // Everything inside a matched group is matched too, so plain counting finds the partner.
      size_t depth = 1;
      while (depth) {
        if (content[end] == '[') ++depth;
        if (content[end] == ']') --depth;
        ++end;
      }
    }
    if (!visit(i, end)) return;
    i = end;
  }
}

// Where the last element of a non-empty content starts: the last byte, or the group that ends
// there, found by walking backward to its '['. A ']' without partner stands alone.
size_t last_element_start(std::string_view content) {
  size_t last = content.size() - 1;
  if (content[last] != ']') return last;
  size_t depth = 0;
  for (size_t i = last + 1; i-- > 0;) {
    if (content[i] == ']') ++depth;
    if (content[i] == '[' && --depth == 0) return i;
  }
  return last;
}

// Character of a data text -> the byte value it stands for (NUL and line feed exchanged).
unsigned byte_value_of_char(unsigned char c) {
  if (c == '\n') return 0;
  if (c == '\0') return '\n';
  return c;
}

Term element_term(std::string_view content, size_t start, size_t end) {
  if (end - start > 1) return make_leaf(content.substr(start, end - start));
  Term form = char_data_form(static_cast<unsigned char>(content[start]));
  core_assert(bool(form), 959);
  return form;
}

// The sum of `measure` over the leaves, where `measure` may also answer for a pair as a whole.
// Sums of shared pairs go into `shared`, so that a value built by repeated self-pairing is
// measured in time linear in its nodes; a caller that measures many times keeps the map.
template <class Measure>
uint64_t summed_length(const Node* root, Measure&& measure,
                       std::unordered_map<const Node*, uint64_t>& shared) {
  return fold_tree<uint64_t>(
      root,
      [&](const Node* x) -> std::optional<uint64_t> {
        if (std::optional<uint64_t> length = measure(x)) return length;
        if (auto known = shared.find(x); known != shared.end()) return known->second;
        return std::nullopt;
      },
      [&](const Node* x, uint64_t left, uint64_t right) {
        uint64_t sum = size_sum(left, right);
        if (node_refs(x) > 1) shared[x] = sum;
        return sum;
      });
}

}  // namespace

bool is_data_value(const Node* n) {
  std::unordered_set<const Node*> seen;  // shared pairs already checked
  bool data = true;
  walk_tree(n, [&](const Node* x) {
    if (!data) return false;  // answered: step over what is left
    if (node_analysed(x)) {
      data = node_is_data_tagged(x);
      return false;
    }
    if (node_is_leaf(x)) {
      data = node_first_char(x) == '[';
      return false;
    }
    return node_refs(x) == 1 || seen.insert(x).second;
  });
  return data;
}

bool is_empty_data(const Node* n) { return node_is_leaf(n) && leaf_text(n) == "[]"; }

std::string flatten_prefix(const Node* data, size_t max_bytes) {
  std::string out;
  if (max_bytes == 0) return out;
  for_each_content_piece(data, [&](std::string_view piece) {
    out.append(piece.substr(0, max_bytes - out.size()));
    return out.size() < max_bytes;
  });
  return out;
}

namespace {

// Compares contents, answering for shared subvalues once: two shared pairs whose left halves
// have equal content lengths compare as their left halves, then their right halves, and the
// answer for each such pair of nodes is remembered. So values built by pairing values with
// themselves compare in time linear in their cells, and everything else is walked lazily.
struct DataComparer {
  std::unordered_map<const Node*, uint64_t> lengths;  // content lengths of shared pairs
  std::map<std::pair<const Node*, const Node*>, int> answers;

  uint64_t content_length(const Node* data) {
    return summed_length(
        data,
        [](const Node* x) -> std::optional<uint64_t> {
          if (node_is_leaf(x)) return data_leaf_content(x).size();
          return std::nullopt;
        },
        lengths);
  }

  // Shared pairs whose halves line up.
  bool aligned(const Node* x, const Node* y) {
    return node_is_pair(x) && node_is_pair(y) && (node_refs(x) > 1 || node_refs(y) > 1) &&
           content_length(pair_left(x)) == content_length(pair_left(y));
  }

  int compare(const Node* a, const Node* b) {
    if (a == b) return 0;
    if (!aligned(a, b)) return walk(a, b);
    auto key = std::make_pair(a, b);
    if (auto known = answers.find(key); known != answers.end()) return known->second;
    int c = with_stack_room([&] { return compare(pair_left(a), pair_left(b)); });
    if (c == 0) c = with_stack_room([&] { return compare(pair_right(a), pair_right(b)); });
    answers[key] = c;
    return c;
  }

  // Byte by byte in order; where both sides start nodes of equal length at the same point,
  // those nodes are compared as wholes.
  int walk(const Node* a, const Node* b) {
    ContentWalk x{{a}, {}};
    ContentWalk y{{b}, {}};
    for (;;) {
      if (x.piece.empty() && y.piece.empty()) {
        if (x.pending.empty() || y.pending.empty()) {
          // One side is used up: it is a prefix of the other unless the other has only empty
          // pieces left.
          ContentWalk& rest = x.pending.empty() ? y : x;
          while (!rest.pending.empty() && rest.piece.empty()) open_top(rest);
          if (rest.piece.empty()) return 0;
          return &rest == &x ? 1 : -1;
        }
        const Node* p = x.pending.back();
        const Node* q = y.pending.back();
        bool shared = node_refs(p) > 1 || node_refs(q) > 1;
        if (p == q || (node_is_pair(p) && node_is_pair(q) && shared &&
                       content_length(p) == content_length(q))) {
          int c = p == q ? 0 : with_stack_room([&] { return compare(p, q); });
          if (c != 0) return c;
          x.pending.pop_back();
          y.pending.pop_back();
          continue;
        }
        // Open the side that is a pair, so that the other may meet its halves.
        open_top(node_is_pair(p) || !node_is_pair(q) ? x : y);
        continue;
      }
      if (x.piece.empty()) {
        if (x.pending.empty()) return -1;
        open_top(x);
        continue;
      }
      if (y.piece.empty()) {
        if (y.pending.empty()) return 1;
        open_top(y);
        continue;
      }
      size_t common = std::min(x.piece.size(), y.piece.size());
      int c = std::memcmp(x.piece.data(), y.piece.data(), common);
      if (c != 0) return c < 0 ? -1 : 1;
      x.piece.remove_prefix(common);
      y.piece.remove_prefix(common);
    }
  }
};

}  // namespace

int compare_data(const Node* a, const Node* b) {
  DataComparer comparer;
  return comparer.compare(a, b);
}

std::string flatten(const Node* data) {
  if (node_is_pair(data)) require_memory(data_length(data));
  std::string out;
  for_each_content_piece(data, [&](std::string_view piece) {
    out.append(piece);
    return true;
  });
  return out;
}

Term make_data(std::string_view bytes) {
  Term t = allocate_leaf('[', size_sum(bytes.size(), 2));
  char* text = leaf_chars(t.get());
  if (!bytes.empty()) std::memcpy(text + 1, bytes.data(), bytes.size());
  text[bytes.size() + 1] = ']';
  return t;
}

Term join_data(const Term& data) {
  if (is_leaf(data)) return data;
  return make_data(flatten(data));
}

DataHalves data_halves(const Term& data) {
  if (is_pair(data)) return {left_of(data), right_of(data)};
  std::string_view content = data_leaf_content(data.get());
  core_assert(!content.empty(), 964);
  size_t start = last_element_start(content);
  Term right = element_term(content, start, content.size());
  std::string left = "[";
  left.append(content.substr(0, start));
  left.push_back(']');
  return {make_leaf(std::string_view(left)), std::move(right)};
}

uint64_t data_length(const Node* data) {
  std::unordered_map<const Node*, uint64_t> shared;
  return summed_length(
      data,
      [](const Node* x) -> std::optional<uint64_t> {
        uint64_t extent = node_extent(x);
        if (extent > 1 && (node_is_leaf(x) || node_is_data_tagged(x))) return extent;
        if (node_is_leaf(x)) return leaf_text(x).size();
        return std::nullopt;
      },
      shared);
}

uint64_t data_element_count(const Node* data) {
  uint64_t count = 0;
  const Node* x = data;
  for (; node_is_pair(x); x = pair_left(x)) ++count;
  for_each_element(data_leaf_content(x), [&](size_t, size_t) {
    ++count;
    return true;
  });
  return count;
}

Term data_element(const Term& data, uint64_t k) {
  uint64_t spine = 0;
  const Node* x = data.get();
  for (; node_is_pair(x); x = pair_left(x)) ++spine;
  std::string_view content = data_leaf_content(x);
  uint64_t in_leaf = 0;
  Term found;
  for_each_element(content, [&](size_t start, size_t end) {
    if (in_leaf++ == k) {
      found = element_term(content, start, end);
      return false;
    }
    return true;
  });
  if (found) return found;
  // Right children of the spine, counted from the bottom.
  uint64_t from_bottom = k - in_leaf;
  if (from_bottom >= spine) return Term();
  const Node* y = data.get();
  for (uint64_t steps = spine - 1 - from_bottom; steps; --steps) y = pair_left(y);
  return Term::share(pair_right(y));
}

std::string bracket_tree(unsigned a) {
  core_assert(a <= 676, 9407);
  if (a == 0) return "[]";
  unsigned s = 0;
  while ((s + 1) * (s + 1) <= a - 1) ++s;
  unsigned m = a - s * s - 1;
  unsigned y = m % 2 == 0 ? m / 2 : s;
  unsigned x = m % 2 == 0 ? s : (m - 1) / 2;
  // y and x stay below 27, so the recursion is a few levels deep.
  return "[" + bracket_tree(y) + bracket_tree(x).substr(1);
}

Term char_data_form(unsigned char c) {
  static const std::array<Term, 256> table = [] {
    std::array<Term, 256> forms;
    for (unsigned c = 0; c < 256; ++c) {
      if (c == '[' || c == ']') continue;
      unsigned b = byte_value_of_char(static_cast<unsigned char>(c));
      forms[c] = make_leaf(std::string_view(bracket_tree(b + 145)));
    }
    return forms;
  }();
  return table[c];
}
