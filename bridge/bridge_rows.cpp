#include "bridge/bridge_rows.h"

#include <vector>

#include "bridge/families.h"

using BridgeFamily = std::span<const BuiltinRow> (*)();

namespace {

const BridgeFamily kFamilies[] = {
    memory_cell_rows, constant_rows, file_rows,      mathematics_rows,
    string_rows,      socket_rows,   system_rows,    directory_rows,
};

}  // namespace

// The C library built-ins, gathered from their families.
std::span<const BuiltinRow> bridge_rows() {
  static const std::vector<BuiltinRow> rows = [] {
    std::vector<BuiltinRow> all;
    for (BridgeFamily family : kFamilies) {
      std::span<const BuiltinRow> family_rows = family();
      all.insert(all.end(), family_rows.begin(), family_rows.end());
    }
    return all;
  }();
  return rows;
}
