#include "bridge/families.h"

// Not built yet.
std::span<const BuiltinRow> socket_rows() { return {}; }
