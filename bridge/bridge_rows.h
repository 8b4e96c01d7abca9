// The C library bridge as one list of rows. Each family is a file bridge/<family>.cpp that
// exports std::span<const BuiltinRow> <family>_rows(); bridge_rows.cpp gathers them.
#pragma once

#include <span>

#include "common/builtin.h"

std::span<const BuiltinRow> bridge_rows();
