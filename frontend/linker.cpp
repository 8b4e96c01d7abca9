#include "frontend/linker.h"

#include <map>
#include <optional>
#include <unordered_set>
#include <vector>

#include "eval/analysis.h"
#include "terms/data_values.h"
#include "frontend/definitions.h"
#include "terms/intern.h"
#include "terms/print.h"
#include "frontend/records.h"
#include "common/tables.h"
#include "terms/term_walks.h"
#include "frontend/program_text.h"

namespace {

bool is_lower_word(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (!is_word_char(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

bool is_single_letter(std::string_view s) {
  return s.size() == 1 && is_lower_letter(static_cast<unsigned char>(s[0]));
}

bool is_referenced_name(std::string_view s) {
  if (s.empty()) return false;
  auto c = static_cast<unsigned char>(s[0]);
  if (s.size() == 1) {
    if (c == '{' || c == '\\' || is_lower_letter(c)) return false;
    return is_capital(c) || (c >= 0x01 && c <= 0x1F) || c >= 0x7F || c == '_' ||
           is_operator_character(c);
  }
  if (is_lower_word(s)) return true;
  // A word that carries a comma is a name no definition can have.
  return c != '(' && c != ' ' && c != '[' && s.find(',') != std::string_view::npos;
}

// The binder of (\ x) or ({ x) when n is such a pair.
Node* binder_of(Node* n) {
  if (!node_is_pair(n)) return nullptr;
  Node* l = pair_left(n);
  if (is_byte_leaf(l, '\\') || is_byte_leaf(l, '{')) return pair_right(n);
  return nullptr;
}

// The shared pairs one walk has reached, for every walk of a link: one table whose entries
// belong to the walk that made them, so a new walk starts without clearing or reallocating.
// Only shared pairs are entered; a node with one reference has one parent and is reached once,
// and leaves are cheap to see twice.
class SeenPairs {
 public:
  void next_walk() { ++walk_, count_ = 0; }
  // True the first time the walk reaches n.
  bool first_visit(const Node* n) {
    if (node_is_leaf(n) || node_refs(n) < 2) return true;
    if (2 * (count_ + 1) > slots_.size()) grow();
    const size_t mask = slots_.size() - 1;
    size_t i = slot_of(n, mask);
    for (; slots_[i].walk == walk_; i = (i + 1) & mask) {
      if (slots_[i].node == n) return false;
    }
    slots_[i] = {n, walk_};
    ++count_;
    return true;
  }

 private:
  struct Slot {
    const Node* node = nullptr;
    uint64_t walk = 0;  // an entry of an earlier walk is a free slot
  };
  static size_t slot_of(const Node* n, size_t mask) {
    return (reinterpret_cast<uintptr_t>(n) >> 4) * 0x9E3779B97F4A7C15ull >> 20 & mask;
  }
  void grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 64 : old.size() * 2, Slot{});
    const size_t mask = slots_.size() - 1;
    for (const Slot& s : old) {
      if (s.walk != walk_) continue;
      size_t i = slot_of(s.node, mask);
      while (slots_[i].walk == walk_) i = (i + 1) & mask;
      slots_[i] = s;
    }
  }
  std::vector<Slot> slots_;
  size_t count_ = 0;
  uint64_t walk_ = 1;
};

// Visits every node of root once, parents first, left before right.
template <class Visit>
void visit_once(Node* root, SeenPairs& seen, Visit&& visit) {
  seen.next_walk();
  walk_tree(root, [&](Node* n) {
    if (!seen.first_visit(n)) return false;
    visit(n);
    return true;
  });
}

// Calls found(name) for each name t refers to (a name may come more than once); the names are
// views into t's leaves.
template <class Found>
void for_referenced_names(const Term& t, SeenPairs& seen, Found&& found) {
  visit_once(t.get(), seen, [&](Node* n) {
    if (!node_is_leaf(n)) return;
    std::string_view s = leaf_text(n);
    if (is_referenced_name(s)) found(s);
  });
}

ErrorRecord error(ErrorType type, std::string name, std::string message) {
  ErrorRecord r;
  r.type = type;
  r.name = std::move(name);
  r.message = std::move(message);
  return r;
}

// Rewrites a term bottom-up: leaves through on_leaf, and each pair through on_pair with its
// rewritten children. A pair whose children come back unchanged is kept as it is (on_pair gets
// it shared), so a rewrite that changes nothing copies nothing.
template <class OnLeaf, class OnPair>
Term rewrite_tree(const Term& t, OnLeaf&& on_leaf, OnPair&& on_pair) {
  return fold_tree<Term>(
      t.get(),
      [&](const Node* n) -> std::optional<Term> {
        if (node_is_pair(n)) return std::nullopt;
        return on_leaf(const_cast<Node*>(n));
      },
      [&](const Node* n, Term l, Term r) {
        Node* pair = const_cast<Node*>(n);
        Term same = l.get() == pair_left(n) && r.get() == pair_right(n)
                        ? Term::share(pair)
                        : make_pair(std::move(l), std::move(r));
        return on_pair(pair, std::move(same));
      });
}

Term rename_binders(const Term& def, const std::map<std::string, char>& letters) {
  return rewrite_tree(
      def,
      [&](Node* leaf) {
        auto it = letters.find(std::string(leaf_text(leaf)));
        if (it == letters.end()) return Term::share(leaf);
        char s[2] = {it->second, '\0'};
        return make_leaf(s);
      },
      [](Node*, Term p) { return p; });
}

// Gives every binder that is a name but not a single letter the first free letter.
std::optional<ErrorRecord> place_parameters(const std::string& key, Term& def,
                                            SeenPairs& seen) {
  std::set<std::string> long_names;
  uint32_t letters_used = 0;
  size_t short_count = 0;
  visit_once(def.get(), seen, [&](Node* n) {
    Node* x = binder_of(n);
    if (!x || !node_is_leaf(x)) return;
    std::string text(leaf_text(x));
    if (is_single_letter(text)) {
      if (!(letters_used & (1u << (text[0] - 'a')))) ++short_count;
      letters_used |= 1u << (text[0] - 'a');
    } else if (is_definition_name(text)) {
      // Binders that are no valid name are left for the binder check to report.
      long_names.insert(text);
    }
  });
  if (long_names.empty()) return std::nullopt;
  debug_log("First " + key + ": " + print_term(def) + "\n");
  if (long_names.size() + short_count > 26) {
    return error(ErrorType::place, key,
                 key.empty() ? "Place error." : "Place error in function " + key + ".");
  }
  std::map<std::string, char> letters;
  for (const std::string& n : long_names) {
    int c = 0;
    while (letters_used & (1u << c)) ++c;
    letters_used |= 1u << c;
    letters.emplace(n, char('a' + c));
    letters.emplace(definition_key(n), char('a' + c));
  }
  def = rename_binders(def, letters);
  return std::nullopt;
}

// Names are views into the table's keys and the definitions' leaves, which outlive the check.
std::optional<ErrorRecord> check_reachability(SeenPairs& seen) {
  DefinitionTable& table = definition_table();
  std::unordered_set<std::string_view> done{""};
  done.reserve(table.size() + 1);
  std::map<std::string_view, std::string_view> pending{{"\\", ""}, {"{", ""}, {"_", ""}};
  for_referenced_names(table[""], seen, [&](std::string_view m) { pending[m] = ""; });
  while (!pending.empty()) {
    auto [u, r] = *pending.begin();
    pending.erase(pending.begin());
    auto it = table.find(u);
    if (it == table.end()) {
      core_assert(table.count(r) != 0, 3875);
      std::string shown = source_form(std::string(u));
      return error(ErrorType::alive, shown,
                   "Alive [" + shown + "] referenced by [" + (r.empty() ? "TOP" : std::string(r)) +
                       "] but not defined.");
    }
    const std::string_view key = it->first;
    done.insert(key);
    for_referenced_names(it->second, seen, [&](std::string_view m) {
      if (!done.count(m)) pending[m] = key;
    });
  }
  for (auto it = table.begin(); it != table.end();) {
    it = done.count(it->first) ? std::next(it) : table.erase(it);
  }
  return std::nullopt;
}

// The first binding form whose binder is not a leaf with a valid name.
Node* funky_binding(Node* root) {
  Node* found = nullptr;
  walk_tree(root, [&](Node* n) {
    if (found || node_is_leaf(n)) return false;
    Shape shape = shape_of(n);
    if (shape == Shape::abstraction || shape == Shape::let) {
      Node* l = pair_left(n);
      Node* x = shape == Shape::abstraction ? pair_right(l) : pair_right(pair_left(l));
      if (!node_is_leaf(x) || !is_definition_name(leaf_text(x))) {
        found = n;
        return false;
      }
    }
    // A binding form's own (\ x) or ({ x) is no binding form, so walking it finds nothing.
    return true;
  });
  return found;
}

}  // namespace

std::set<std::string> referenced_names(const Term& t) {
  SeenPairs seen;
  std::set<std::string> names;
  for_referenced_names(t, seen, [&](std::string_view m) { names.emplace(m); });
  return names;
}

namespace {

// A pair whose function is a quoting leaf.
bool is_quotation(const Node* pair) { return node_first_char(pair_left(pair)) == '`'; }

// A let whose binder is a pair of two names.
bool binds_a_pair(const Node* pair) {
  if (shape_of(pair) != Shape::let) return false;
  const Node* x = pair_right(pair_left(pair_left(pair)));  // X of ({ X)
  return node_is_pair(x) && node_is_leaf(pair_left(x)) && node_is_leaf(pair_right(x)) &&
         is_definition_name(leaf_text(pair_left(x))) &&
         is_definition_name(leaf_text(pair_right(x)));
}

// Whether some pair of t satisfies the test: a rewrite that would change nothing is skipped.
template <class Test>
bool any_pair(const Term& t, SeenPairs& seen, Test&& test) {
  bool found = false;
  visit_once(t.get(), seen, [&](Node* n) {
    if (!found && node_is_pair(n) && test(n)) found = true;
  });
  return found;
}

}  // namespace

Term quote_rewrite(const Term& t) {
  return rewrite_tree(
      t, [](Node* leaf) { return Term::share(leaf); },
      [](Node* pair, Term p) {
        if (is_quotation(pair)) {
          Term d = make_data(print_term(Term::share(pair_right(pair))));
          return make_pair(make_pair(make_leaf("V"), std::move(d)), right_of(p));
        }
        return p;
      });
}

Term pair_binding_rewrite(const Term& t) {
  return rewrite_tree(
      t, [](Node* leaf) { return Term::share(leaf); },
      [](Node*, Term p) {
        Node* n = p.get();
        if (!binds_a_pair(n)) return p;
        Node* x = pair_right(pair_left(pair_left(n)));
        std::string first(leaf_text(pair_left(x)));
        std::string second(leaf_text(pair_right(x)));
        Term value = Term::share(pair_right(pair_left(n)));
        Term body = Term::share(pair_right(n));
        Term key = make_leaf(definition_key(second).c_str());
        auto let = [](Term binder, Term v, Term b) {
          return make_pair(make_pair(make_pair(make_leaf("{"), std::move(binder)), std::move(v)),
                           std::move(b));
        };
        Term inner = let(make_leaf(second.c_str()), apply(key, make_leaf("H")), std::move(body));
        Term middle = let(make_leaf(first.c_str()), apply(key, make_leaf("K")), std::move(inner));
        return let(make_leaf(second.c_str()), std::move(value), std::move(middle));
      });
}

ErrorRecord link_program() {
  DefinitionTable& table = definition_table();
  table["_"] = make_leaf(record_declarations());
  SeenPairs seen;
  for (auto& [key, def] : table) {
    if (any_pair(def, seen, is_quotation)) def = quote_rewrite(def);
  }
  for (auto& [key, def] : table) {
    if (any_pair(def, seen, binds_a_pair)) def = pair_binding_rewrite(def);
  }
  for (auto& [key, def] : table) {
    if (auto failure = place_parameters(key, def, seen)) return *failure;
  }
  if (auto failure = check_reachability(seen)) return *failure;
  for (auto& [key, def] : table) {
    // The count stops at 11, which is enough to tell eleven or more parameters apart.
    if (leading_abstractions(def.get()) > 10) {
      return error(ErrorType::arity, key,
                   "Arity of function " + key + " may not exceed ten.");
    }
  }
  clear_intern_table();
  for (auto& [key, def] : table) def = intern(def);
  remove_interned_if([](const Node* n) { return !is_normal(const_cast<Node*>(n)); });
  for (auto& [key, def] : table) {
    if (Node* bad = funky_binding(def.get())) {
      std::string form = source_form(print_term(Term::share(bad)));
      std::string where = key.empty() ? "." : " in function " + key + ".";
      return error(ErrorType::funky, "", "Funky key in expression " + form + where);
    }
  }
  for (auto& [key, def] : table) {
    uint32_t free = free_variables(def);
    if (free) {
      char letter = char('a' + __builtin_ctz(free));
      std::string message = key.empty()
                                ? std::string("Local variable ") + letter + " unbound."
                                : std::string("Local variable ") + letter +
                                      " unbound in function [" + key + "].";
      return error(ErrorType::local, key, message);
    }
  }
  return ErrorRecord{};
}
