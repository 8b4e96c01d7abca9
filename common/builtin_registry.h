// The BuiltinRegistry: the 223 built-in names, their arities and functions.
//
// The names and arities are the language's own list; the functions come from the families'
// rows, which the layer above the families installs; once they are, every name has its function
// (a test holds the families to that).
#pragma once

#include <map>
#include <span>
#include <string>
#include <string_view>

#include "common/builtin.h"

struct BuiltinEntry {
  uint8_t arity;
  BuiltinFunction function;
  BuiltinPairFunction pair_function = nullptr;
};

using BuiltinRegistry = std::map<std::string, BuiltinEntry, std::less<>>;

struct BuiltinName {
  const char* name;
  uint8_t arity;
};

// The 223 built-in names with their arities, in the registry's own order.
std::span<const BuiltinName> builtin_names();

// Adds a family's rows to those the registry takes its functions from (now and at every
// refill). A row whose name or arity is not in builtin_names() is not used.
void install_builtin_rows(std::span<const BuiltinRow> rows);

// The process-wide registry, filled with all entries whenever it is found empty.
BuiltinRegistry& builtin_registry();
void clear_builtin_registry();
// Exact match on the whole name; null when the name is not a built-in.
const BuiltinEntry* find_builtin(std::string_view name);
