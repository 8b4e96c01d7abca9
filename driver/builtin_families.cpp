#include "driver/builtin_families.h"

#include "bridge/bridge_rows.h"
#include "common/builtin_registry.h"
#include "primitives/primitive_rows.h"

#ifdef TARN_FUZZ_BUDGETS
#include <vector>

namespace {

// The fuzz build exercises the core language only: every bridge built-in, and `copy`, which
// reach memory, files, processes, sockets or the environment, answer Z there.
std::vector<BuiltinRow> answering_z() {
  BuiltinFunction z = [](Term) { return make_leaf("Z"); };
  std::vector<BuiltinRow> rows{{"copy", 2, z}};
  for (const BuiltinRow& row : bridge_rows()) rows.push_back({row.name, row.arity, z});
  return rows;
}

}  // namespace
#endif

void install_builtin_families() {
  install_builtin_rows(primitive_rows());
#ifdef TARN_FUZZ_BUDGETS
  static const std::vector<BuiltinRow> rows = answering_z();
  install_builtin_rows(rows);
#else
  install_builtin_rows(bridge_rows());
#endif
}
