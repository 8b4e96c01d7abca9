#include "tables.h"

DefinitionTable& definition_table() {
  static DefinitionTable table;
  return table;
}

MemoMap& memo_map() {
  static MemoMap map;
  return map;
}
