#include "driver/builtin_families.h"

#include "bridge/bridge_rows.h"
#include "common/builtin_registry.h"
#include "primitives/primitive_rows.h"

void install_builtin_families() {
  install_builtin_rows(primitive_rows());
  install_builtin_rows(bridge_rows());
}
