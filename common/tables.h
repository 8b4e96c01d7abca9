// The process-wide program tables shared by the front end, the engine and the built-ins.
//
// DefinitionTable: name -> definition term; the empty name holds the main expression and,
// after a successful run, its result. The memo map records definitions without parameters
// whose value is being computed (flag 0) or has been stored (flag 1); the engine's memo marker
// (engine.h) writes the stored value back into the definition table.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "terms/term.h"

using DefinitionTable = std::map<std::string, Term, std::less<>>;
using MemoMap = std::map<std::string, uint8_t, std::less<>>;

DefinitionTable& definition_table();
MemoMap& memo_map();

#include <set>

// Built-in names whose definition is still the placeholder the loader entered; a program
// definition of the name hides the built-in.
std::set<std::string, std::less<>>& builtin_placeholders();
