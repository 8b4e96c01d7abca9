// Memory cells: plain loads and stores of 8, 16, 32 and 64 bits at addresses the program holds.
#include <cstring>

#include "bridge/bridge_args.h"
#include "bridge/families.h"
#include "eval/integer_values.h"

namespace {

// The get built-ins take the low 64 bits of the address's magnitude, its sign ignored.
template <typename Cell>
Term get_cell(Term m) {
  const Node* a = bridge_arg(m, 1, 0);
  if (!bridge_is_integer(a)) return bridge_error();
  uint64_t address = magnitude_low64(Term::share(const_cast<Node*>(a)));
  Cell value;
  std::memcpy(&value, reinterpret_cast<const void*>(static_cast<uintptr_t>(address)), sizeof value);
  return bridge_int(static_cast<int64_t>(value));
}

template <typename Cell>
Term set_cell(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "ii", call)) return bridge_error();
  Cell value = static_cast<Cell>(call.integer[1]);
  std::memcpy(reinterpret_cast<void*>(static_cast<uintptr_t>(call.integer[0])), &value, sizeof value);
  return bridge_unit();
}

const BuiltinRow kRows[] = {
    {"getu", 1, get_cell<uint32_t>}, {"gets", 1, get_cell<int32_t>},
    {"gett", 1, get_cell<uint16_t>}, {"getv", 1, get_cell<int16_t>},
    {"getw", 1, get_cell<int64_t>},  {"getz", 1, get_cell<int64_t>},
    {"getx", 1, get_cell<uint8_t>},  {"gety", 1, get_cell<int8_t>},
    {"setu", 2, set_cell<uint32_t>}, {"sett", 2, set_cell<uint16_t>},
    {"setw", 2, set_cell<uint64_t>}, {"setx", 2, set_cell<uint8_t>},
};

}  // namespace

std::span<const BuiltinRow> memory_cell_rows() { return kRows; }
