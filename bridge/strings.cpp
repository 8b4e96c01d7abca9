// Strings, characters and memory: the heap, byte blocks, NUL-terminated strings and the
// character classes. Blocks and strings are addresses carried as integers, or texts taken
// from leaves.
//
// Where the library's behaviour is undefined for values a program can pass, the bridge gives
// a sound answer without calling it: a null address where the library reads or writes is Z;
// overlapping copies move as memmove does; character tests and conversions of values outside
// -1..255 answer as for a byte of no class (false, the value unchanged); strtok continuing a
// scan that never began finds no token.
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "bridge/bridge_args.h"
#include "bridge/families.h"
#include "bridge/library_call.h"

namespace {

Term refused_string_call(char) { return bridge_error(); }

template <Kinds K, auto Fn>
Term string_call(Term m) {
  return checked_library_call<K, Fn, refused_string_call>(m);
}

// Single overloads of the searching functions, which C++ declares twice.
const void* find_byte(const void* s, int c, size_t n) { return std::memchr(s, c, n); }
const char* find_char(const char* s, int c) { return std::strchr(s, c); }
const char* find_last_char(const char* s, int c) { return std::strrchr(s, c); }
const char* find_text(const char* s, const char* pattern) { return std::strstr(s, pattern); }
const char* find_any(const char* s, const char* set) { return std::strpbrk(s, set); }

bool overlap(const char* a, size_t a_bytes, const char* b, size_t b_bytes) {
  return a < b + b_bytes && b < a + a_bytes;
}

void* copy_bytes(void* destination, const void* source, size_t n) {
  auto* d = static_cast<const char*>(destination);
  if (overlap(d, n, static_cast<const char*>(source), n)) return std::memmove(destination, source, n);
  return std::memcpy(destination, source, n);
}

char* copy_at_most(char* destination, const char* source, size_t n) {
  size_t length = strnlen(source, n);
  if (!overlap(destination, n, source, length)) return std::strncpy(destination, source, n);
  std::memmove(destination, source, length);
  std::memset(destination + length, 0, n - length);
  return destination;
}

char* append_at_most(char* destination, const char* source, size_t n) {
  char* end = destination + std::strlen(destination);
  size_t length = strnlen(source, n);
  if (!overlap(end, length + 1, source, length)) return std::strncat(destination, source, n);
  std::memmove(end, source, length);
  end[length] = '\0';
  return destination;
}

// The four string functions the bridge computes itself, with the library's meaning; copies
// measure first and then move, so overlapping texts cannot run away.
size_t text_length(const char* s) {
  const char* p = s;
  while (*p) ++p;
  return size_t(p - s);
}

char* copy_text(char* destination, const char* source) {
  std::memmove(destination, source, text_length(source) + 1);
  return destination;
}

char* append_text(char* destination, const char* source) {
  std::memmove(destination + text_length(destination), source, text_length(source) + 1);
  return destination;
}

int compare_texts(const char* a, const char* b) {
  auto x = reinterpret_cast<const unsigned char*>(a);
  auto y = reinterpret_cast<const unsigned char*>(b);
  while (*x && *x == *y) ++x, ++y;
  return *x < *y ? -1 : *x > *y ? 1 : 0;
}

// strtok's own state stays with the bridge, so a scan continued before any began is safe.
char* next_token(char* s, const char* delimiters) {
  static char* rest = nullptr;
  if (!s && !rest) return nullptr;
  return strtok_r(s, delimiters, &rest);
}

char* next_token_at(char* s, const char* delimiters, char** state) {
  if (!s && !*state) return nullptr;
  return strtok_r(s, delimiters, state);
}

Term bzero_call(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "ii", call) || call.integer[1] < 0) return bridge_error();
  if (call.integer[1] == 0) return bridge_unit();
  if (call.integer[0] == 0) return bridge_error();
  std::memset(library_value<void*>(call, 0, 'p'), 0, size_t(call.integer[1]));
  return bridge_unit();
}

// The library's tables cover EOF and the unsigned bytes only.
bool in_table(int c) { return c >= -1 && c <= 255; }

template <int (*Test)(int)>
Term character_test(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "i", call)) return bridge_error();
  auto c = static_cast<int>(call.integer[0]);
  return bridge_truth(in_table(c) && Test(c) != 0);
}

template <int (*Convert)(int)>
Term character_conversion(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "i", call)) return bridge_error();
  auto c = static_cast<int>(call.integer[0]);
  return bridge_int(in_table(c) ? Convert(c) : c);
}

Term isascii_call(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "i", call)) return bridge_error();
  return bridge_truth(static_cast<uint32_t>(call.integer[0]) < 128);
}

Term toascii_call(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "i", call)) return bridge_error();
  return bridge_int(call.integer[0] & 127);
}

const BuiltinRow kRows[] = {
    // heap
    {"malloc", 1, string_call<"i", std::malloc>},
    {"calloc", 2, string_call<"ii", std::calloc>},
    {"realloc", 2, string_call<"ii", std::realloc>},
    {"free", 1, string_call<"u", std::free>},
    // byte blocks
    {"memchr", 3, string_call<"pii", find_byte>},
    {"memcmp", 3, string_call<"ppi", std::memcmp>},
    {"memcpy", 3, string_call<"ppi", copy_bytes>},
    {"memmove", 3, string_call<"ppi", std::memmove>},
    {"memset", 3, string_call<"puu", std::memset>},
    {"bzero", 2, bzero_call},
    // strings
    {"strlen", 1, string_call<"c", text_length>},
    {"strnlen", 2, string_call<"ci", strnlen>},
    {"strcpy", 2, string_call<"pc", copy_text>},
    {"strncpy", 3, string_call<"ppi", copy_at_most>},
    {"strcat", 2, string_call<"pc", append_text>},
    {"strncat", 3, string_call<"pci", append_at_most>},
    {"strcmp", 2, string_call<"cc", compare_texts>},
    {"strncmp", 3, string_call<"cci", std::strncmp>},
    {"strcasecmp", 2, string_call<"cc", strcasecmp>},
    {"strncasecmp", 3, string_call<"cci", strncasecmp>},
    {"strchr", 2, string_call<"ci", find_char>},
    {"strrchr", 2, string_call<"ci", find_last_char>},
    {"strstr", 2, string_call<"cc", find_text>},
    {"strpbrk", 2, string_call<"cc", find_any>},
    {"strspn", 2, string_call<"cc", std::strspn>},
    {"strtok", 2, string_call<"ic", next_token>},
    {"strtok_r", 3, string_call<"icp", next_token_at>},
    {"strdup", 1, string_call<"c", strdup>},
    {"strerror", 1, string_call<"i", std::strerror>},
    // character classes and conversions
    {"isalnum", 1, character_test<std::isalnum>},
    {"isalpha", 1, character_test<std::isalpha>},
    {"isblank", 1, character_test<std::isblank>},
    {"isdigit", 1, character_test<std::isdigit>},
    {"isgraph", 1, character_test<std::isgraph>},
    {"islower", 1, character_test<std::islower>},
    {"isprint", 1, character_test<std::isprint>},
    {"ispunct", 1, character_test<std::ispunct>},
    {"isspace", 1, character_test<std::isspace>},
    {"isupper", 1, character_test<std::isupper>},
    {"isascii", 1, isascii_call},
    {"toascii", 1, toascii_call},
    {"tolower", 1, character_conversion<std::tolower>},
    {"toupper", 1, character_conversion<std::toupper>},
};

}  // namespace

std::span<const BuiltinRow> string_rows() { return kRows; }
