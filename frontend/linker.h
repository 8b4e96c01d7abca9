// The linker: prepares the DefinitionTable for the engine and rejects programs it cannot run.
//
// In order: declare the records as `_`, rewrite quoting (the grave accent) and pair bindings,
// give every parameter a single-letter name, drop definitions the main expression does not
// reach, limit parameters to ten, share equal subterms, check binders and free variables.
// The first failed check ends linking with its ErrorRecord ("Place", "Alive", "Arity",
// "Funky", "Local").
#pragma once

#include <set>
#include <string>

#include "diagnostics/diagnostics.h"
#include "terms/term.h"

ErrorRecord link_program();

// Names a term refers to: identifiers, capitals, control and high bytes, operator characters
// (not `{`, `\` or single letters a..z), and words that carry a comma.
std::set<std::string> referenced_names(const Term& t);
Term quote_rewrite(const Term& t);
Term pair_binding_rewrite(const Term& t);
