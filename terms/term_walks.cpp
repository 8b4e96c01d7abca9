#include "terms/term_walks.h"

#include <unordered_set>
#include <vector>

Term rebuild(const Term& t, const std::function<Term(Node*)>& on_leaf,
             const std::function<Term(Node*, Term, Term)>& on_pair) {
  struct Task {
    Node* node;
    bool children_done;
  };
  std::vector<Task> tasks{{t.get(), false}};
  std::vector<Term> results;
  while (!tasks.empty()) {
    Task task = tasks.back();
    tasks.pop_back();
    Node* n = task.node;
    if (node_is_leaf(n)) {
      results.push_back(on_leaf(n));
    } else if (task.children_done) {
      Term right = std::move(results.back());
      results.pop_back();
      Term left = std::move(results.back());
      results.pop_back();
      results.push_back(on_pair(n, std::move(left), std::move(right)));
    } else {
      tasks.push_back({n, true});
      tasks.push_back({pair_right(n), false});
      tasks.push_back({pair_left(n), false});
    }
  }
  return std::move(results.back());
}

// A node with a single reference has a single parent, so it is reached once: only shared nodes
// need remembering, and a freshly parsed term has few of them.
void visit_nodes(Node* root, const std::function<void(Node*)>& visit) {
  std::unordered_set<Node*> seen;
  std::vector<Node*> stack{root};
  while (!stack.empty()) {
    Node* n = stack.back();
    stack.pop_back();
    if (node_refs(n) > 1 && !seen.insert(n).second) continue;
    visit(n);
    if (node_is_pair(n)) {
      stack.push_back(pair_right(n));
      stack.push_back(pair_left(n));
    }
  }
}
