// Mathematics: the library's floating-point functions, integer absolute values, its random
// generator and its conversions from text to numbers. Reals cross as doubles and never mix with
// integers here: a real parameter given an integer is Z.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "bridge/bridge_args.h"
#include "bridge/families.h"

namespace {

using RealUnary = double (*)(double);
using RealBinary = double (*)(double, double);

template <RealUnary F>
Term real_unary(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "r", call)) return bridge_error();
  return bridge_real(F(call.real[0]));
}

template <RealBinary F>
Term real_binary(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "rr", call)) return bridge_error();
  return bridge_real(F(call.real[0], call.real[1]));
}

template <typename Cell>
Cell* cell_at(int64_t address) {
  return reinterpret_cast<Cell*>(static_cast<uintptr_t>(address));
}

// frexp and modf always store their second result; with no cell given it is dropped instead
// of being written through a null pointer.
template <typename Cell, double (*Split)(double, Cell*)>
Term split_real(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "ri", call)) return bridge_error();
  Cell dropped;
  Cell* second = call.integer[1] ? cell_at<Cell>(call.integer[1]) : &dropped;
  return bridge_real(Split(call.real[0], second));
}

Term ldexp_builtin(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "ri", call)) return bridge_error();
  return bridge_real(std::ldexp(call.real[0], static_cast<int>(call.integer[1])));
}

// abs and labs both work on the 64-bit value (long is 64 bits here); the most negative value
// stays as it is, as two's complement negation leaves it, instead of overflowing.
Term abs_builtin(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "i", call)) return bridge_error();
  auto value = static_cast<uint64_t>(call.integer[0]);
  if (call.integer[0] < 0) value = 0 - value;
  return bridge_int(static_cast<int64_t>(value));
}

Term rand_builtin(Term) { return bridge_int(std::rand()); }

Term srand_builtin(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "i", call)) return bridge_error();
  std::srand(static_cast<unsigned>(call.integer[0]));
  return bridge_unit();
}

// The text conversions. A null text reads as one without digits (0, and the end address set
// to the text) instead of reaching the library, whose behaviour there is undefined. Where the
// library stores an end address into a text or data leaf, the leaf is kept alive to the end of
// the run, so that address never dangles.
template <typename Value, typename Convert>
Value convert_text(BridgeCall& call, char** end, Convert convert) {
  if (end && call.leaf[0]) bridge_keep_alive(call.leaf[0]);
  if (!call.text[0]) {
    // The cell the program gives need not be aligned.
    const char* none = nullptr;
    if (end) std::memcpy(end, &none, sizeof none);
    return Value{};
  }
  return convert(call.text[0], end);
}

template <typename Value, Value (*F)(const char*), Term (*Result)(Value)>
Term text_to_number(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "s", call)) return bridge_error();
  return Result(convert_text<Value>(call, nullptr, [](const char* t, char**) { return F(t); }));
}

Term strtod_builtin(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "si", call)) return bridge_error();
  return bridge_real(convert_text<double>(call, cell_at<char*>(call.integer[1]), std::strtod));
}

template <typename Value, Value (*F)(const char*, char**, int), Term (*Result)(Value)>
Term text_to_integer(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "sii", call)) return bridge_error();
  auto base = static_cast<int>(call.integer[2]);
  return Result(convert_text<Value>(call, cell_at<char*>(call.integer[1]),
                                    [base](const char* t, char** e) { return F(t, e, base); }));
}

Term int_result(int value) { return bridge_int(value); }
Term long_result(long value) { return bridge_int(value); }
Term unsigned_long_result(unsigned long value) { return bridge_unsigned(value); }

const BuiltinRow kRows[] = {
    {"acos", 1, real_unary<std::acos>},
    {"asin", 1, real_unary<std::asin>},
    {"atan", 1, real_unary<std::atan>},
    {"ceil", 1, real_unary<std::ceil>},
    {"cos", 1, real_unary<std::cos>},
    {"cosh", 1, real_unary<std::cosh>},
    {"erf", 1, real_unary<std::erf>},
    {"erfc", 1, real_unary<std::erfc>},
    {"exp", 1, real_unary<std::exp>},
    {"fabs", 1, real_unary<std::fabs>},
    {"floor", 1, real_unary<std::floor>},
    {"log", 1, real_unary<std::log>},
    {"sin", 1, real_unary<std::sin>},
    {"sinh", 1, real_unary<std::sinh>},
    {"sqrt", 1, real_unary<std::sqrt>},
    {"tan", 1, real_unary<std::tan>},
    {"tanh", 1, real_unary<std::tanh>},
    {"fmod", 2, real_binary<std::fmod>},
    {"hypot", 2, real_binary<std::hypot>},
    {"nextafter", 2, real_binary<std::nextafter>},
    {"pow", 2, real_binary<std::pow>},
    {"frexp", 2, split_real<int, std::frexp>},
    {"modf", 2, split_real<double, std::modf>},
    {"ldexp", 2, ldexp_builtin},
    {"abs", 1, abs_builtin},
    {"labs", 1, abs_builtin},
    {"rand", 0, rand_builtin},
    {"srand", 1, srand_builtin},
    {"atof", 1, text_to_number<double, std::atof, bridge_real>},
    {"atoi", 1, text_to_number<int, std::atoi, int_result>},
    {"atol", 1, text_to_number<long, std::atol, long_result>},
    {"strtod", 2, strtod_builtin},
    {"strtol", 3, text_to_integer<long, std::strtol, long_result>},
    {"strtoul", 3, text_to_integer<unsigned long, std::strtoul, unsigned_long_result>},
};

}  // namespace

std::span<const BuiltinRow> mathematics_rows() { return kRows; }
