// The families of bridge built-ins; each source file exports its rows.
#pragma once

#include <span>

#include "common/builtin.h"

std::span<const BuiltinRow> memory_cell_rows();   // memory_cells.cpp
std::span<const BuiltinRow> constant_rows();      // constants.cpp
std::span<const BuiltinRow> file_rows();          // files.cpp
std::span<const BuiltinRow> mathematics_rows();   // mathematics.cpp
std::span<const BuiltinRow> string_rows();        // strings.cpp
std::span<const BuiltinRow> socket_rows();        // sockets.cpp
std::span<const BuiltinRow> system_rows();        // system.cpp: time, environment, process
std::span<const BuiltinRow> directory_rows();     // directories.cpp
