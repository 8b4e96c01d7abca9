#include "bridge/bridge_rows.h"

#include <vector>

using BridgeFamily = std::span<const BuiltinRow> (*)();

// Each family is declared here, one line each, e.g.
//   std::span<const BuiltinRow> files_rows();
// and named in kFamilies below.

namespace {

const BridgeFamily kFamilies[] = {
    nullptr,  // keeps the list non-empty while no family is built
};

}  // namespace

// The C library built-ins, gathered from their families.
std::span<const BuiltinRow> bridge_rows() {
  static const std::vector<BuiltinRow> rows = [] {
    std::vector<BuiltinRow> all;
    for (BridgeFamily family : kFamilies) {
      if (family == nullptr) continue;
      std::span<const BuiltinRow> family_rows = family();
      all.insert(all.end(), family_rows.begin(), family_rows.end());
    }
    return all;
  }();
  return rows;
}
