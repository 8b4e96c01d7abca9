// Mathematics: the library's floating-point functions, integer absolute values, its random
// generator and its conversions from text to numbers. Reals cross as doubles and never mix with
// integers here: a real parameter given an integer is Z.
#include <cmath>
#include <cstdlib>

#include "bridge_args.h"
#include "families.h"

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
Term frexp_builtin(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "ri", call)) return bridge_error();
  int dropped;
  int* exponent = call.integer[1] ? cell_at<int>(call.integer[1]) : &dropped;
  return bridge_real(std::frexp(call.real[0], exponent));
}

Term modf_builtin(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "ri", call)) return bridge_error();
  double dropped;
  double* integral = call.integer[1] ? cell_at<double>(call.integer[1]) : &dropped;
  return bridge_real(std::modf(call.real[0], integral));
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

// The conversions read a text that may be a null address: the library's behaviour there is
// undefined, so a null text reads as one without digits (0, and the end is the text itself).
template <typename Value>
Value from_null(char** end) {
  if (end) *end = nullptr;
  return Value{};
}

// Where the library stores an end address into the text, that text must outlive the call: a
// text leaf is kept alive, and a data pair's flattened text becomes a leaf that is kept.
const char* lasting_text(BridgeCall& call, int k) {
  if (call.leaf[k]) bridge_keep_alive(call.leaf[k]);
  return call.text[k];
}

Term atof_builtin(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "s", call)) return bridge_error();
  return bridge_real(call.text[0] ? std::atof(call.text[0]) : 0.0);
}

Term atoi_builtin(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "s", call)) return bridge_error();
  return bridge_int(call.text[0] ? std::atoi(call.text[0]) : 0);
}

Term atol_builtin(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "s", call)) return bridge_error();
  return bridge_int(call.text[0] ? std::atol(call.text[0]) : 0);
}

Term strtod_builtin(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "si", call)) return bridge_error();
  char** end = cell_at<char*>(call.integer[1]);
  const char* text = end ? lasting_text(call, 0) : call.text[0];
  if (!text) return bridge_real(from_null<double>(end));
  return bridge_real(std::strtod(text, end));
}

Term strtol_builtin(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "sii", call)) return bridge_error();
  char** end = cell_at<char*>(call.integer[1]);
  const char* text = end ? lasting_text(call, 0) : call.text[0];
  if (!text) return bridge_int(from_null<long>(end));
  return bridge_int(std::strtol(text, end, static_cast<int>(call.integer[2])));
}

Term strtoul_builtin(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "sii", call)) return bridge_error();
  char** end = cell_at<char*>(call.integer[1]);
  const char* text = end ? lasting_text(call, 0) : call.text[0];
  if (!text) return bridge_unsigned(from_null<unsigned long>(end));
  return bridge_unsigned(std::strtoul(text, end, static_cast<int>(call.integer[2])));
}

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
    {"frexp", 2, frexp_builtin},
    {"modf", 2, modf_builtin},
    {"ldexp", 2, ldexp_builtin},
    {"abs", 1, abs_builtin},
    {"labs", 1, abs_builtin},
    {"rand", 0, rand_builtin},
    {"srand", 1, srand_builtin},
    {"atof", 1, atof_builtin},
    {"atoi", 1, atoi_builtin},
    {"atol", 1, atol_builtin},
    {"strtod", 2, strtod_builtin},
    {"strtol", 3, strtol_builtin},
    {"strtoul", 3, strtoul_builtin},
};

}  // namespace

std::span<const BuiltinRow> mathematics_rows() { return kRows; }
