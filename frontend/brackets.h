// The bracket and comma check that runs once over raw program text before anything else.
//
// Brackets come in three kinds: "parenthesis" ( ), "bracket" [ ] (data literals, inside which
// nothing but [ and ] counts) and "wing" { }. A comma inside parentheses is only allowed where
// the group is a call list, that is where it directly follows a word or a closing group.
// A problem is reported as coded error text,
//   type word ("Match" or "Comma") + "[" + position code + "]" + message,
// together with the byte position in the raw text that the code spells.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "diagnostics/diagnostics.h"

struct BracketProblem {
  std::string text;      // the coded error text
  int64_t position = 0;  // byte index into the raw text
  ErrorType type = ErrorType::match;  // match or comma, the word the text starts with
};

// Nothing when the text passes; otherwise the first problem found.
std::optional<BracketProblem> check_parenthesization(std::string_view raw);

std::string coded_error(std::string_view type_word, int64_t position, std::string_view message);

// "parenthesis", "bracket" or "wing"; assertion 4268 for any byte that is not a bracket.
std::string_view bracket_kind(unsigned char c);
