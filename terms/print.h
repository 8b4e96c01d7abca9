// The printed form of terms: a compact Lisp-like text used in messages, the debug log, the
// quoting operator and the `lisp` built-in.
//
// Leaves print as their text, except: the empty leaf and leaves starting with ')' or ']' as
// "()", a real as "real[" + "%e" of its double + "]", a counted byte string as
// "init[" + payload + "]" (line feed as "[p]", '[' as "[q]", ']' as "[r]", NUL as a line feed).
// A pair (f x) prints as "(" f " " x ")"; left-nested applications flatten into one list
// ("(f a b c)"); a one-byte operator, capital letter or control byte glues directly to a
// following one-byte such name or to a following word or number ("SKK", "+1", "\a").
//
// `print_report` differs only in leaves: texts, reals, memo cells, the empty leaf and leaves
// starting outside 0x20..0x7E print as "()"; a data leaf of at most 999 bytes prints as its
// text in source form, a longer one as "()".
#pragma once

#include <string>
#include <string_view>

#include "terms/term.h"

std::string print_term(const Node* t);
inline std::string print_term(const Term& t) { return print_term(t.get()); }
std::string print_report(const Node* t);
inline std::string print_report(const Term& t) { return print_report(t.get()); }

// Stored text back to the form program text writes it in: line feed and NUL exchanged.
std::string source_form(std::string_view bytes);
