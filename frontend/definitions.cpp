#include "frontend/definitions.h"


#include "eval/analysis.h"
#include "frontend/brackets.h"
#include "frontend/parser.h"
#include "frontend/prelude.h"
#include "common/builtin_registry.h"
#include "common/tables.h"
#include "frontend/program_text.h"

namespace {

// The built-in's placeholder: n strict abstractions over a, b, ... around the leaf Z.
Term placeholder(unsigned arity) {
  Term body = make_leaf("Z");
  for (unsigned i = arity; i-- > 0;) {
    char letter[2] = {char('a' + i), '\0'};
    body = make_pair(make_pair(make_leaf("\\"), make_leaf(letter)), std::move(body));
  }
  return body;
}

void enter(std::string key, Term term) {
  builtin_placeholders().erase(key);
  definition_table()[std::move(key)] = std::move(term);
}

}  // namespace

bool is_definition_name(std::string_view name) {
  if (name.empty()) return false;
  auto c = static_cast<unsigned char>(name[0]);
  if (is_word_char(c)) {
    for (char ch : name) {
      if (!is_word_char(static_cast<unsigned char>(ch))) return false;
    }
    return true;
  }
  if (name.size() == 1) return is_capital(c) || (c >= 0x01 && c <= 0x1F) || c >= 0x7F;
  return name.size() == 3 && name[0] == '[' && name[2] == ']' &&
         is_operator_character(static_cast<unsigned char>(name[1]));
}

std::string definition_key(std::string_view name) {
  core_assert(is_definition_name(name), 4244);
  if (name.size() == 3 && name[0] == '[') return std::string(1, name[1]);
  return std::string(name);
}

void load_prelude() {
  definition_table().clear();
  memo_map().clear();
  builtin_placeholders().clear();
  clear_builtin_registry();
  builtin_registry();
  std::string text = normalize_blanks(prelude_text());
  std::vector<int64_t> commas = operator_positions(text, ByteSet(","));
  for (size_t i = 0; i < commas.size(); ++i) {
    size_t start = size_t(commas[i]) + 1;
    size_t end = i + 1 < commas.size() ? size_t(commas[i + 1]) : text.size();
    Term entry = parse_expression(std::string_view(text).substr(start, end - start));
    Term head = left_of(entry);
    Term name = right_of(head);
    definition_table()[definition_key(leaf_text(name))] = right_of(entry);
  }
}

ErrorRecord load_program(std::string_view raw_text) {
  ErrorRecord record;
  if (auto problem = check_parenthesization(raw_text)) {
    record.position = problem->position;
    record.type = problem->type;
    record.message = problem->text;
    return record;
  }
  for (const auto& [name, entry] : builtin_registry()) {
    definition_table()[name] = placeholder(entry.arity);
    builtin_placeholders().insert(name);
  }
  std::string text = normalize_blanks(raw_text);
  TextIndex index = index_text(text);
  int64_t size = int64_t(text.size());
  std::vector<int64_t> commas = operator_positions(index, 0, size, ByteSet(","));
  SharedLeaves shared;
  enter("", parse_expression(index, 0, commas.empty() ? size : commas[0]));
  for (size_t i = 0; i < commas.size(); ++i) {
    int64_t start = commas[i] + 1;
    int64_t end = i + 1 < commas.size() ? commas[i + 1] : size;
    Term piece = parse_expression(index, start, end);
    if (!node_is_pair(piece.get())) continue;
    Node* left = pair_left(piece.get());
    if (!node_is_pair(left) || !is_byte_leaf(pair_left(left), '\\')) continue;
    Node* x = pair_right(left);
    bool memo_form = false;
    std::string name;
    if (node_is_leaf(x)) {
      name = leaf_text(x);
    } else if (node_is_leaf(pair_right(x)) && node_first_char(pair_right(x)) == '}') {
      memo_form = true;
      name = leaf_text(pair_left(x));
    } else {
      continue;
    }
    if (!is_definition_name(name)) continue;
    std::string key = definition_key(name);
    if (key == "\\" || key == "{") {
      record.position = start;
      record.type = ErrorType::built;
      record.message = "Built in function [" + key + "] cannot be re-defined.";
      return record;
    }
    Term body = right_of(piece);
    if (memo_form) {
      memo_map()[key] = 1;
      enter(key, make_pair(make_leaf("I"), std::move(body)));
    } else {
      memo_map().erase(key);
      enter(key, std::move(body));
    }
  }
  return record;
}
