#include "terms/term_walks.h"

#include <unordered_set>

Term rebuild(const Term& t, const std::function<Term(Node*)>& on_leaf,
             const std::function<Term(Node*, Term, Term)>& on_pair) {
  return fold_tree<Term>(
      t.get(),
      [&](const Node* n) -> std::optional<Term> {
        if (node_is_pair(n)) return std::nullopt;
        return on_leaf(const_cast<Node*>(n));
      },
      [&](const Node* n, Term left, Term right) {
        return on_pair(const_cast<Node*>(n), std::move(left), std::move(right));
      });
}

// A node with a single reference has a single parent, so it is reached once: only shared nodes
// need remembering, and a freshly parsed term has few of them.
void visit_nodes(Node* root, const std::function<void(Node*)>& visit) {
  std::unordered_set<Node*> seen;
  walk_tree(root, [&](Node* n) {
    if (node_refs(n) > 1 && !seen.insert(n).second) return false;
    visit(n);
    return true;
  });
}
