#include <vector>

#include "builtin.h"
#include "families.h"

// The C library bridge, gathered from its families.
std::span<const BuiltinRow> bridge_rows() {
  static const std::vector<BuiltinRow> rows = [] {
    std::vector<BuiltinRow> all;
    for (auto family : {memory_cell_rows(), constant_rows(), file_rows(), mathematics_rows(),
                        string_rows(), socket_rows(), system_rows(), directory_rows()}) {
      all.insert(all.end(), family.begin(), family.end());
    }
    return all;
  }();
  return rows;
}
