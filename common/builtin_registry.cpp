#include "common/builtin_registry.h"

#include <vector>


namespace {

// Every built-in name with its arity. The functions come from the families' rows.
const BuiltinName kBuiltins[] = {
    // arithmetic and comparison
    {"buck", 1}, {"cent", 2}, {"cmpr", 2}, {"dash", 2}, {"diff", 2}, {"gteq", 2}, {"less", 2},
    {"mult", 2}, {"over", 2}, {"plus", 2}, {"powa", 2}, {"same", 2}, {"wave", 1},
    // structural
    {"leaf", 1}, {"leak", 1}, {"left", 1}, {"lisp", 1}, {"rank", 1}, {"raws", 2}, {"real", 1},
    {"rght", 1}, {"tern", 1}, {"type", 1},
    // elements and conversions
    {"cats", 2}, {"copy", 2}, {"cork", 3}, {"init", 1}, {"into", 3}, {"look", 2}, {"lord", 1},
    {"lots", 1}, {"rows", 1}, {"tail", 1},
    // memory cells, record sizes and constants
    {"gets", 1}, {"getu", 1}, {"gett", 1}, {"getv", 1}, {"getw", 1}, {"getx", 1}, {"gety", 1},
    {"getz", 1}, {"setu", 2}, {"sett", 2}, {"setw", 2}, {"setx", 2}, {"addrinfo", 0},
    {"dirent", 0}, {"time_t", 0}, {"errno", 0}, {"eacces", 0}, {"ebadf", 0},
    {"econnaborted", 0}, {"efault", 0}, {"eintr", 0}, {"einval", 0}, {"eio", 0}, {"emfile", 0},
    {"enfile", 0}, {"enodev", 0}, {"enomem", 0}, {"enotsock", 0}, {"enxio", 0},
    {"eopnotsupp", 0}, {"eoverflow", 0}, {"ewouldblock", 0}, {"stdout", 0}, {"stderr", 0},
    {"rand_max", 0}, {"af_unspec", 0}, {"ai_passive", 0}, {"sock_stream", 0},
    // files and standard streams
    {"clearerr", 1}, {"fclose", 1}, {"fdopen", 2}, {"feof", 1}, {"ferror", 1}, {"fflush", 1},
    {"fgetc", 1}, {"fgetpos", 2}, {"fgets", 3}, {"fileno", 1}, {"fopen", 2}, {"fputc", 2},
    {"fputs", 2}, {"fread", 4}, {"fseek", 3}, {"fsetpos", 2}, {"ftell", 1}, {"fwrite", 4},
    {"getc", 1}, {"getchar", 0}, {"perror", 1}, {"putc", 2}, {"putchar", 1}, {"puts", 1},
    {"read", 3}, {"remove", 1}, {"rename", 2}, {"rewind", 1}, {"setbuf", 2}, {"tmpfile", 0},
    {"tmpnam", 1}, {"ungetc", 2}, {"write", 3},
    // mathematics and number conversion
    {"abs", 1}, {"acos", 1}, {"asin", 1}, {"atan", 1}, {"atof", 1}, {"atoi", 1}, {"atol", 1},
    {"ceil", 1}, {"cos", 1}, {"cosh", 1}, {"erf", 1}, {"erfc", 1}, {"exp", 1}, {"fabs", 1},
    {"floor", 1}, {"fmod", 2}, {"frexp", 2}, {"hypot", 2}, {"labs", 1}, {"ldexp", 2},
    {"log", 1}, {"modf", 2}, {"nextafter", 2}, {"pow", 2}, {"rand", 0}, {"sin", 1},
    {"sinh", 1}, {"sqrt", 1}, {"srand", 1}, {"strtod", 2}, {"strtol", 3}, {"strtoul", 3},
    {"tan", 1}, {"tanh", 1},
    // strings, characters and memory
    {"bzero", 2}, {"calloc", 2}, {"free", 1}, {"isalnum", 1}, {"isalpha", 1}, {"isascii", 1},
    {"isblank", 1}, {"isdigit", 1}, {"isgraph", 1}, {"islower", 1}, {"isprint", 1},
    {"ispunct", 1}, {"isspace", 1}, {"isupper", 1}, {"malloc", 1}, {"memchr", 3},
    {"memcmp", 3}, {"memcpy", 3}, {"memmove", 3}, {"memset", 3}, {"realloc", 2},
    {"strcasecmp", 2}, {"strcat", 2}, {"strchr", 2}, {"strcmp", 2}, {"strcpy", 2},
    {"strdup", 1}, {"strerror", 1}, {"strlen", 1}, {"strncasecmp", 3}, {"strncat", 3},
    {"strncmp", 3}, {"strncpy", 3}, {"strnlen", 2}, {"strpbrk", 2}, {"strrchr", 2},
    {"strspn", 2}, {"strstr", 2}, {"strtok", 2}, {"strtok_r", 3}, {"toascii", 1},
    {"tolower", 1}, {"toupper", 1},
    // sockets and name resolution
    {"accept", 3}, {"bind", 3}, {"closesocket", 1}, {"connect", 3}, {"fd_set", 2},
    {"freeaddrinfo", 1}, {"gai_strerror", 1}, {"getaddrinfo", 4}, {"gethostname", 2},
    {"getnameinfo", 7}, {"getpeername", 3}, {"htonl", 1}, {"htons", 1}, {"inet_ntop", 4},
    {"inet_pton", 3}, {"listen", 2}, {"ntohl", 1}, {"ntohs", 1}, {"recv", 4}, {"recvfrom", 6},
    {"send", 4}, {"sendto", 6}, {"setsockopt", 5}, {"shutdown", 2}, {"socket", 3},
    // time, environment, process and directories
    {"abort", 0}, {"asctime", 1}, {"assert", 1}, {"closedir", 1}, {"ctime", 1},
    {"difftime", 2}, {"exit", 1}, {"getenv", 1}, {"gmtime", 1}, {"localtime", 1},
    {"mktime", 1}, {"opendir", 1}, {"raise", 1}, {"readdir", 1}, {"strftime", 4},
    {"system", 1}, {"time", 1},
};

static_assert(sizeof(kBuiltins) / sizeof(kBuiltins[0]) == 223);

std::vector<std::span<const BuiltinRow>>& installed_rows() {
  static std::vector<std::span<const BuiltinRow>> families;
  return families;
}

void apply(BuiltinRegistry& registry, std::span<const BuiltinRow> rows) {
  for (const BuiltinRow& row : rows) {
    auto it = registry.find(row.name);
    if (it != registry.end() && it->second.arity == row.arity) {
      it->second.function = row.function;
      if (row.arity == 2) it->second.pair_function = row.pair_function;
    }
  }
}

void fill(BuiltinRegistry& registry) {
  for (const BuiltinName& b : kBuiltins) registry[b.name] = {b.arity, nullptr};
  for (auto rows : installed_rows()) apply(registry, rows);
}

BuiltinRegistry& registry_storage() {
  static BuiltinRegistry registry;
  return registry;
}

}  // namespace

std::span<const BuiltinName> builtin_names() { return kBuiltins; }

void install_builtin_rows(std::span<const BuiltinRow> rows) {
  for (auto installed : installed_rows()) {
    if (installed.data() == rows.data() && installed.size() == rows.size()) return;
  }
  installed_rows().push_back(rows);
  BuiltinRegistry& registry = registry_storage();
  if (!registry.empty()) apply(registry, rows);
}

BuiltinRegistry& builtin_registry() {
  BuiltinRegistry& registry = registry_storage();
  if (registry.empty()) fill(registry);
  return registry;
}

void clear_builtin_registry() { registry_storage().clear(); }

const BuiltinEntry* find_builtin(std::string_view name) {
  BuiltinRegistry& registry = builtin_registry();
  auto it = registry.find(name);
  return it == registry.end() ? nullptr : &it->second;
}
