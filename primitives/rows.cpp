#include "builtin.h"

// The four-letter primitives; families add their rows here as they are built.
std::span<const BuiltinRow> primitive_rows() { return {}; }
