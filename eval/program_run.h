// The program run: apply the linked main term to the argument-vector numeral, reduce it, and
// check that the result is an integer. On success the result is stored under the empty name.
#pragma once

#include <string>
#include <string_view>

#include "diagnostics/diagnostics.h"

// Runs the linked program; "Cycle" and "Range" reports for results that are no integer.
ErrorRecord run_program(char** argv);
// Texts longer than 56 bytes become their first 53 bytes and "...".
std::string shorten_for_name(std::string_view text);
// The exit status of a successful run: the low 32 bits of the stored result.
int program_status();
