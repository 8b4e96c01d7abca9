#include "common/tables.h"

DefinitionTable& definition_table() {
  static DefinitionTable table;
  return table;
}

MemoMap& memo_map() {
  static MemoMap map;
  return map;
}

std::set<std::string, std::less<>>& builtin_placeholders() {
  static std::set<std::string, std::less<>> names;
  return names;
}
