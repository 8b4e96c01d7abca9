// Filling the DefinitionTable: the prelude, placeholders for the built-ins, and the program.
//
// Program text is a main expression followed by definitions, separated by commas at bracket
// depth zero: "main,name\body,other()\body". A "()" definition is stored as (I body) and is
// recomputed at each use; a plain one is replaced by its value once computed.
#pragma once

#include <string>
#include <string_view>

#include "diagnostics/diagnostics.h"

// Clears the tables, refills the built-in registry and enters the prelude definitions.
void load_prelude();
// Checks, normalises, cuts and parses the program text into the DefinitionTable.
ErrorRecord load_program(std::string_view raw_text);

// A lower-case word, a single byte A..Z, 0x01..0x1F or 0x7F..0xFF, or a bracketed operator.
bool is_definition_name(std::string_view name);
// The middle byte of a bracketed operator; any other valid name is its own key (4244).
std::string definition_key(std::string_view name);
