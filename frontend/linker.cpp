#include "frontend/linker.h"

#include <map>
#include <optional>
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

ErrorRecord error(ErrorType type, std::string name, std::string message) {
  ErrorRecord r;
  r.type = type;
  r.name = std::move(name);
  r.message = std::move(message);
  return r;
}

Term rename_binders(const Term& def, const std::map<std::string, char>& letters) {
  return rebuild(
      def,
      [&](Node* leaf) {
        auto it = letters.find(std::string(leaf_text(leaf)));
        if (it == letters.end()) return Term::share(leaf);
        char s[2] = {it->second, '\0'};
        return make_leaf(s);
      },
      [](Node*, Term l, Term r) { return make_pair(std::move(l), std::move(r)); });
}

// Gives every binder that is a name but not a single letter the first free letter.
std::optional<ErrorRecord> place_parameters(const std::string& key, Term& def) {
  std::set<std::string> long_names;
  uint32_t letters_used = 0;
  size_t short_count = 0;
  visit_nodes(def.get(), [&](Node* n) {
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

std::optional<ErrorRecord> check_reachability() {
  DefinitionTable& table = definition_table();
  std::set<std::string> done{""};
  std::map<std::string, std::string> pending{{"\\", ""}, {"{", ""}, {"_", ""}};
  for (const std::string& m : referenced_names(table[""])) pending[m] = "";
  while (!pending.empty()) {
    auto [u, r] = *pending.begin();
    pending.erase(pending.begin());
    done.insert(u);
    auto it = table.find(u);
    if (it == table.end()) {
      core_assert(table.count(r) != 0, 3875);
      std::string shown = source_form(u);
      return error(ErrorType::alive, shown,
                   "Alive [" + shown + "] referenced by [" + (r.empty() ? "TOP" : r) +
                       "] but not defined.");
    }
    for (const std::string& m : referenced_names(it->second)) {
      if (!done.count(m)) pending[m] = u;
    }
  }
  for (auto it = table.begin(); it != table.end();) {
    it = done.count(it->first) ? std::next(it) : table.erase(it);
  }
  return std::nullopt;
}

// The first binding form whose binder is not a leaf with a valid name.
Node* funky_binding(Node* root) {
  std::vector<Node*> stack{root};
  while (!stack.empty()) {
    Node* n = stack.back();
    stack.pop_back();
    if (node_is_leaf(n)) continue;
    Node* l = pair_left(n);
    Shape shape = shape_of(n);
    if (shape == Shape::abstraction || shape == Shape::let) {
      Node* x = shape == Shape::abstraction ? pair_right(l) : pair_right(pair_left(l));
      if (!node_is_leaf(x) || !is_definition_name(leaf_text(x))) return n;
      stack.push_back(pair_right(n));
      if (shape == Shape::let) stack.push_back(pair_right(l));
      continue;
    }
    stack.push_back(pair_right(n));
    stack.push_back(l);
  }
  return nullptr;
}

}  // namespace

std::set<std::string> referenced_names(const Term& t) {
  std::set<std::string> names;
  visit_nodes(t.get(), [&](Node* n) {
    if (!node_is_leaf(n)) return;
    std::string_view s = leaf_text(n);
    if (is_referenced_name(s)) names.emplace(s);
  });
  return names;
}

Term quote_rewrite(const Term& t) {
  return rebuild(
      t, [](Node* leaf) { return Term::share(leaf); },
      [](Node* pair, Term l, Term r) {
        Node* original_left = pair_left(pair);
        if (node_first_char(original_left) == '`') {
          Term d = make_data(print_term(Term::share(pair_right(pair))));
          return make_pair(make_pair(make_leaf("V"), std::move(d)), std::move(r));
        }
        return make_pair(std::move(l), std::move(r));
      });
}

Term pair_binding_rewrite(const Term& t) {
  return rebuild(
      t, [](Node* leaf) { return Term::share(leaf); },
      [](Node*, Term l, Term r) {
        Term p = make_pair(std::move(l), std::move(r));
        Node* n = p.get();
        if (shape_of(n) != Shape::let) return p;
        Node* binding = pair_left(pair_left(n));  // ({ X)
        Node* x = pair_right(binding);
        if (!node_is_pair(x) || !node_is_leaf(pair_left(x)) || !node_is_leaf(pair_right(x)))
          return p;
        std::string first(leaf_text(pair_left(x)));
        std::string second(leaf_text(pair_right(x)));
        if (!is_definition_name(first) || !is_definition_name(second)) return p;
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
  for (auto& [key, def] : table) def = quote_rewrite(def);
  for (auto& [key, def] : table) def = pair_binding_rewrite(def);
  for (auto& [key, def] : table) {
    if (auto failure = place_parameters(key, def)) return *failure;
  }
  if (auto failure = check_reachability()) return *failure;
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
