#include "frontend/brackets.h"

#include <vector>

#include "diagnostics/diagnostics.h"
#include "frontend/program_text.h"

namespace {

inline unsigned char byte_at(std::string_view text, int64_t i) {
  return static_cast<unsigned char>(text[size_t(i)]);
}

BracketProblem problem(ErrorType type, int64_t position, std::string_view message) {
  return {coded_error(error_type_word(type), position, message), position, type};
}

unsigned char closer_of(unsigned char opener) {
  core_assert(is_opener(opener), 3674);
  return opener == '(' ? ')' : opener == '[' ? ']' : '}';
}

// Every bracket must have a partner of its own kind; literals are not looked into.
std::optional<BracketProblem> check_pairs(std::string_view text) {
  std::vector<int64_t> open;
  for (int64_t i = 0; i < int64_t(text.size()); ++i) {
    const unsigned char c = byte_at(text, i);
    if (!open.empty() && byte_at(text, open.back()) == '[') {
      if (c == ']') {
        open.pop_back();
      } else if (c == '[') {
        open.push_back(i);
      }
      continue;
    }
    if (is_opener(c)) {
      open.push_back(i);
    } else if (is_closer(c)) {
      if (open.empty()) {
        return problem(ErrorType::match, i, "Left dangling " + std::string(bracket_kind(c)) + ".");
      }
      const int64_t top = open.back();
      if (closer_of(byte_at(text, top)) != c) {
        core_assert(is_closer(c), 3335);
        std::string message =
            "Doesn't fit '" + std::string(1, char(c)) + "' at [" + position_code(i) + "].";
        return problem(ErrorType::match, top, message);
      }
      open.pop_back();
    }
  }
  if (!open.empty()) {
    const int64_t top = open.back();
    return problem(ErrorType::match, top,
                   "Right dangling " + std::string(bracket_kind(byte_at(text, top))) + ".");
  }
  return std::nullopt;
}

// Right to left: each open parenthesis group keeps at most one comma entry, its leftmost
// comma so far; at its "(" the group must be a call list if it has one.
std::optional<BracketProblem> check_commas(std::string_view text) {
  std::vector<int64_t> stack;
  auto top_byte = [&]() { return byte_at(text, stack.back()); };
  for (int64_t i = int64_t(text.size()) - 1; i >= 0; --i) {
    const unsigned char c = byte_at(text, i);
    if (c == ']') {
      i = matching_bracket(text, i);
    } else if (c == ')' || c == '}') {
      stack.push_back(i);
    } else if (c == ',') {
      if (stack.empty() || top_byte() == '}') continue;
      if (top_byte() == ',') stack.pop_back();
      stack.push_back(i);
    } else if (c == '{') {
      if (!stack.empty()) stack.pop_back();
    } else if (c == '(') {
      const bool has_comma = !stack.empty() && top_byte() == ',';
      const bool rejected = i == 0 ? stack.size() == 2
                                   : has_comma && byte_at(text, i - 1) != ')' &&
                                         byte_at(text, i - 1) != ']' &&
                                         is_blank_absorbing(byte_at(text, i - 1));
      if (rejected) {
        return problem(ErrorType::comma, stack.back(),
                       "Comma encountered in parenthesization which is not a call list.");
      }
      if (has_comma) stack.pop_back();
      if (!stack.empty()) stack.pop_back();
    }
  }
  return std::nullopt;
}

}  // namespace

std::string_view bracket_kind(unsigned char c) {
  switch (c) {
    case '(':
    case ')':
      return "parenthesis";
    case '[':
    case ']':
      return "bracket";
    case '{':
    case '}':
      return "wing";
    default:
      assertion_failed("b", 4268);
  }
}

std::string coded_error(std::string_view type_word, int64_t position, std::string_view message) {
  std::string text(type_word);
  text += '[';
  text += position_code(position);
  text += ']';
  text += message;
  return text;
}

std::optional<BracketProblem> check_parenthesization(std::string_view raw) {
  if (auto found = check_pairs(raw)) return found;
  return check_commas(raw);
}
