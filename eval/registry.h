// The BuiltinRegistry: the 223 built-in names, their arities and functions.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "eval/builtin.h"

struct BuiltinEntry {
  uint8_t arity;
  BuiltinFunction function;
};

using BuiltinRegistry = std::map<std::string, BuiltinEntry, std::less<>>;

// The process-wide registry, filled with all entries whenever it is found empty.
BuiltinRegistry& builtin_registry();
void clear_builtin_registry();
// Exact match on the whole name; null when the name is not a built-in.
const BuiltinEntry* find_builtin(std::string_view name);
