#include "eval/program_run.h"

#include "eval/engine.h"
#include "eval/integer_values.h"
#include "numbers/numerals.h"
#include "terms/print.h"
#include "common/tables.h"

std::string shorten_for_name(std::string_view text) {
  if (text.size() <= 56) return std::string(text);
  return std::string(text.substr(0, 53)) + "...";
}

ErrorRecord run_program(char** argv) {
  ErrorRecord record;
  DefinitionTable& table = definition_table();
  Term argument = int64_to_numeral(static_cast<int64_t>(reinterpret_cast<intptr_t>(argv)));
  Term result = reduce(make_pair(table[""], std::move(argument)));
  if (first_char(result) == ')') {
    record.name = std::string(leaf_text(result).substr(1));
    record.type = ErrorType::cycle;
    record.message = "Cycle detected on function [" + record.name + "].";
    return record;
  }
  if (is_integer_value(result)) {
    table[""] = std::move(result);
    return record;
  }
  std::string printed = print_report(result);
  record.name = shorten_for_name(printed);
  record.type = ErrorType::range;
  record.message = "The program must return an integer. Instead we encountered:\n" + printed;
  return record;
}

int program_status() {
  DefinitionTable& table = definition_table();
  auto it = table.find("");
  core_assert(it != table.end(), 4048);
  return static_cast<int>(static_cast<uint32_t>(to_int64(it->second)));
}
