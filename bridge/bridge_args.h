// Values crossing between the language and the C library.
//
// A bridge built-in receives its saturated application m and reads argument k (from 0, left to
// right in program text) as the right child of the (n - 1 - k)-th left descendant of m. Each
// argument has one conversion, written as a letter in the built-in's kind string:
//   'i' integer               an integer value; passed as its 64-bit reading (sign applied to the
//                             low 64 bits of the magnitude), narrowed by the caller to the C type
//   'n' non-negative integer  an integer value whose sign is not negative; passed as for 'i'
//   's' C string              a text (the address of its payload, which a NUL follows), an
//                             integer (taken as an address) or data: a '[' leaf passes its own
//                             text from the '['; a data pair passes the text of the equal leaf,
//                             built for the call and kept until the call returns
//   'r' real                  a leaf starting with a space; passed as its double
//   'u' unchecked integer     an argument the library takes without the integer test; anything
//                             but an integer still gives Z, so no reading can fail
// The arguments are tested from first to last; at the first failure the built-in returns Z and
// calls nothing (errno untouched). Results: integers as numerals (signed types sign-extended,
// narrower unsigned types zero-extended), addresses as the integer of the pointer (null is 0),
// doubles as reals, truth as K/H, no result as I.
//
// An address a built-in returns into the payload of an argument leaf keeps that leaf alive to
// the end of the run, so no program can reach freed interpreter memory through it.
#pragma once

#include <cstdint>
#include <string>

#include "common/builtin.h"
#include "terms/term.h"

constexpr int kBridgeMaxArgs = 7;

struct BridgeCall {
  int64_t integer[kBridgeMaxArgs] = {};
  const char* text[kBridgeMaxArgs] = {};
  double real[kBridgeMaxArgs] = {};
  // Argument leaves whose payload a C string points into (empty for other arguments); a data
  // pair's flattened text is such a leaf, made for the call.
  Term leaf[kBridgeMaxArgs];
};

// Argument k (from 0) of an application of the given arity.
const Node* bridge_arg(const Term& m, int arity, int k);

// Tests and converts the arguments of m, one kind letter each (the string's length is the
// arity). False, with nothing converted that matters, when a test fails.
bool bridge_convert(const Term& m, const char* kinds, BridgeCall& call);

// The single tests, for built-ins that decide on their own.
bool bridge_is_integer(const Node* n);
bool bridge_is_non_negative(const Node* n);
bool bridge_is_c_string(const Node* n);
bool bridge_is_real(const Node* n);

// Results.
Term bridge_int(int64_t value);
// "%llu" of the 64-bit value: never a minus sign.
Term bridge_unsigned(uint64_t value);
Term bridge_real(double value);
Term bridge_truth(bool value);
Term bridge_unit();   // I
Term bridge_error();  // Z
// The pointer as an integer; when it points into the payload of one of the call's argument
// leaves (its bytes or the NUL after them), that leaf is kept alive to the end of the run.
Term bridge_address(const BridgeCall& call, const void* p);
Term bridge_address(const void* p);

// Keeps a reference on the leaf until the process ends.
void bridge_keep_alive(const Term& leaf);
