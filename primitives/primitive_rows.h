// The thirty-three four-letter primitives as one list of rows, gathered from their families.
#pragma once

#include <span>

#include "common/builtin.h"

std::span<const BuiltinRow> primitive_rows();
