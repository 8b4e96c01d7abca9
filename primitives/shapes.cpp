#include "primitives/shapes.h"

bool letter_pair(const Node* n, const char* letter, Node*& a, Node*& b) {
  if (node_is_leaf(n)) return false;
  const Node* inner = pair_left(n);
  if (node_is_leaf(inner) || !leaf_is(pair_left(inner), letter)) return false;
  a = pair_right(inner);
  b = pair_right(n);
  return true;
}

bool data_list(const Node* n, Node*& j) {
  Node* first = nullptr;
  if (!letter_pair(n, "V", first, j)) return false;
  return node_is_pair(first) && leaf_is(pair_left(first), "X") && leaf_is(pair_right(first), "J");
}

namespace {

// Bits of a tree over 2^level positions, bit 0 leftmost. Depth is at most six.
std::optional<uint64_t> tree_bits(const Node* n, int level, const char* pair_letter,
                                  const char* one) {
  if (level == 0) {
    if (leaf_is(n, one)) return 1;
    if (leaf_is(n, "H")) return 0;
    return std::nullopt;
  }
  Node* low = nullptr;
  Node* high = nullptr;
  if (!letter_pair(n, pair_letter, low, high)) return std::nullopt;
  auto l = tree_bits(low, level - 1, pair_letter, one);
  auto h = tree_bits(high, level - 1, pair_letter, one);
  if (!l || !h) return std::nullopt;
  return *l | (*h << (1u << (level - 1)));
}

}  // namespace

std::optional<uint64_t> real_tree_bits(const Node* n) { return tree_bits(n, 6, "V", "K"); }

std::optional<unsigned char> byte_tree_value(const Node* n) {
  Node* low = nullptr;
  Node* high = nullptr;
  if (!letter_pair(n, "V", low, high)) return std::nullopt;
  auto l = tree_bits(low, 2, "J", "I");
  auto h = tree_bits(high, 2, "J", "I");
  if (!l || !h) return std::nullopt;
  return static_cast<unsigned char>(*l | (*h << 4));
}
