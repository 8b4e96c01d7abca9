// Typed calls of C library functions, for the families whose built-ins are one library call.
//
// A row names the library function and a kind string, one letter per parameter:
//   'i' 'n' 'r' 'u' 's'   the conversions of bridge_args.h ('s' may be the address 0)
//   'c'                   a C string the library reads: as 's', but never the address 0
//   'p'                   an address the library reads or writes: an integer, never 0
//   'f'                   a stream: an integer, never 0
// The kinds are tested first to last as bridge_convert does; a null 'c', 'p' or 'f' is then
// refused before the call, because the library would dereference it; what a refusal returns
// is the family's choice. Each converted value is narrowed to the C
// parameter's own type by keeping its low bits; texts pass as their address.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <tuple>
#include <type_traits>
#include <utility>

#include "bridge/bridge_args.h"

// A kind string as a template argument: library_call<"fi", std::fputc>.
template <size_t N>
struct Kinds {
  char letters[N];
  constexpr Kinds(const char (&text)[N]) {
    for (size_t k = 0; k < N; ++k) letters[k] = text[k];
  }
  // The same string in the letters bridge_convert knows.
  constexpr Kinds converted() const {
    Kinds out = *this;
    for (char& c : out.letters) {
      if (c == 'c') c = 's';
      if (c == 'p' || c == 'f') c = 'i';
    }
    return out;
  }
};

// The result and parameter types of a library function, found by deduction: naming the
// function's own pointer type would drag along its attributes (nonnull, access, ...).
template <typename R, typename... P, bool E>
R result_of(R (*)(P...) noexcept(E));
template <typename R, typename... P, bool E>
std::tuple<P...> parameters_of(R (*)(P...) noexcept(E));
template <auto Fn>
using LibraryResult = decltype(result_of(Fn));
template <auto Fn>
using LibraryParameters = decltype(parameters_of(Fn));

// Argument k as the parameter type P.
template <typename P>
P library_value(const BridgeCall& call, int k, char kind) {
  if constexpr (std::is_pointer_v<P>) {
    if (kind == 's' || kind == 'c') return reinterpret_cast<P>(const_cast<char*>(call.text[k]));
    return reinterpret_cast<P>(static_cast<uintptr_t>(call.integer[k]));
  } else if constexpr (std::is_floating_point_v<P>) {
    return static_cast<P>(call.real[k]);
  } else {
    return static_cast<P>(call.integer[k]);
  }
}

// The first null 'c', 'p' or 'f' argument's kind letter, or 0 when there is none.
inline char null_argument(const BridgeCall& call, const char* kinds) {
  for (int k = 0; kinds[k]; ++k) {
    char kind = kinds[k];
    if (kind == 'c' && call.text[k] == nullptr) return kind;
    if ((kind == 'p' || kind == 'f') && call.integer[k] == 0) return kind;
  }
  return 0;
}

// The library result as a term: integers widened by their own signedness, pointers as
// addresses (keeping an argument leaf alive when they point into it).
template <typename R>
Term library_result(const BridgeCall& call, R value) {
  if constexpr (std::is_pointer_v<R>) {
    return bridge_address(call, value);
  } else if constexpr (std::is_floating_point_v<R>) {
    return bridge_real(static_cast<double>(value));
  } else {
    return bridge_int(static_cast<int64_t>(value));
  }
}

template <auto Fn, size_t... K>
decltype(auto) invoke_library(const BridgeCall& call, const char* kinds,
                              std::index_sequence<K...>) {
  using Params = LibraryParameters<Fn>;
  return Fn(library_value<std::tuple_element_t<K, Params>>(call, int(K), kinds[K])...);
}

// Calls Fn once with the converted arguments and converts its result; void gives I.
template <auto Fn>
Term call_library(const BridgeCall& call, const char* kinds) {
  auto order = std::make_index_sequence<std::tuple_size_v<LibraryParameters<Fn>>>();
  if constexpr (std::is_void_v<LibraryResult<Fn>>) {
    invoke_library<Fn>(call, kinds, order);
    return bridge_unit();
  } else {
    return library_result(call, invoke_library<Fn>(call, kinds, order));
  }
}

// A built-in that is one library call: converts the arguments of m (Z when a test fails),
// answers a null 'c', 'p' or 'f' argument with Refuse(kind) without calling, and otherwise
// calls Fn. Each family says in Refuse what its refusal gives.
template <Kinds K, auto Fn, Term (*Refuse)(char kind)>
Term checked_library_call(Term m);

// Tests and converts the arguments of m for the kind string; false when a test fails.
template <Kinds K>
bool convert_library_arguments(const Term& m, BridgeCall& call) {
  static constexpr Kinds converted = K.converted();
  return bridge_convert(m, converted.letters, call);
}

template <Kinds K, auto Fn, Term (*Refuse)(char kind)>
Term checked_library_call(Term m) {
  BridgeCall call;
  if (!convert_library_arguments<K>(m, call)) return bridge_error();
  if (char kind = null_argument(call, K.letters)) return Refuse(kind);
  return call_library<Fn>(call, K.letters);
}
