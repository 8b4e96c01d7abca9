#include <gtest/gtest.h>

#include <map>
#include <span>
#include <string>

#include "bridge/families.h"

namespace {

// The registry matches rows by name and arity; a row with a wrong arity would leave the
// built-in unavailable.
std::map<std::string, int> names_of(std::span<const BuiltinRow> rows) {
  std::map<std::string, int> found;
  for (const BuiltinRow& row : rows) {
    EXPECT_NE(row.function, nullptr) << row.name;
    EXPECT_TRUE(found.emplace(row.name, row.arity).second) << "twice: " << row.name;
  }
  return found;
}

TEST(FileRows, AllThirtyThreeWithTheirArities) {
  const std::map<std::string, int> expected = {
      {"clearerr", 1}, {"fclose", 1}, {"fdopen", 2}, {"feof", 1},    {"ferror", 1},
      {"fflush", 1},   {"fgetc", 1},  {"fgetpos", 2}, {"fgets", 3},  {"fileno", 1},
      {"fopen", 2},    {"fputc", 2},  {"fputs", 2},  {"fread", 4},   {"fseek", 3},
      {"fsetpos", 2},  {"ftell", 1},  {"fwrite", 4}, {"getc", 1},    {"getchar", 0},
      {"perror", 1},   {"putc", 2},   {"putchar", 1}, {"puts", 1},   {"read", 3},
      {"remove", 1},   {"rename", 2}, {"rewind", 1}, {"setbuf", 2},  {"tmpfile", 0},
      {"tmpnam", 1},   {"ungetc", 2}, {"write", 3}};
  EXPECT_EQ(names_of(file_rows()), expected);
}

TEST(StringRows, AllFortyThreeWithTheirArities) {
  const std::map<std::string, int> expected = {
      {"bzero", 2},   {"calloc", 2},      {"free", 1},     {"isalnum", 1},     {"isalpha", 1},
      {"isascii", 1}, {"isblank", 1},     {"isdigit", 1},  {"isgraph", 1},     {"islower", 1},
      {"isprint", 1}, {"ispunct", 1},     {"isspace", 1},  {"isupper", 1},     {"malloc", 1},
      {"memchr", 3},  {"memcmp", 3},      {"memcpy", 3},   {"memmove", 3},     {"memset", 3},
      {"realloc", 2}, {"strcasecmp", 2},  {"strcat", 2},   {"strchr", 2},      {"strcmp", 2},
      {"strcpy", 2},  {"strdup", 1},      {"strerror", 1}, {"strlen", 1},      {"strncasecmp", 3},
      {"strncat", 3}, {"strncmp", 3},     {"strncpy", 3},  {"strnlen", 2},     {"strpbrk", 2},
      {"strrchr", 2}, {"strspn", 2},      {"strstr", 2},   {"strtok", 2},      {"strtok_r", 3},
      {"toascii", 1}, {"tolower", 1},     {"toupper", 1}};
  EXPECT_EQ(names_of(string_rows()), expected);
}

}  // namespace
