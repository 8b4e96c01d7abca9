#include <gtest/gtest.h>

#include <map>
#include <string>

#include "primitives/primitive_rows.h"

namespace {

// The registry matches rows by name and arity; a row with a wrong arity would leave the
// built-in unavailable.
TEST(Rows, AllThirtyThreePrimitivesWithTheirArities) {
  const std::map<std::string, int> expected = {
      {"buck", 1}, {"cent", 2}, {"cmpr", 2}, {"dash", 2}, {"diff", 2}, {"gteq", 2}, {"less", 2},
      {"mult", 2}, {"over", 2}, {"plus", 2}, {"powa", 2}, {"same", 2}, {"wave", 1}, {"leaf", 1},
      {"leak", 1}, {"left", 1}, {"lisp", 1}, {"rank", 1}, {"raws", 2}, {"real", 1}, {"rght", 1},
      {"tern", 1}, {"type", 1}, {"cats", 2}, {"copy", 2}, {"cork", 3}, {"init", 1}, {"into", 3},
      {"look", 2}, {"lord", 1}, {"lots", 1}, {"rows", 1}, {"tail", 1}};
  std::map<std::string, int> found;
  for (const BuiltinRow& row : primitive_rows()) {
    EXPECT_NE(row.function, nullptr) << row.name;
    EXPECT_TRUE(found.emplace(row.name, row.arity).second) << "twice: " << row.name;
  }
  EXPECT_EQ(found, expected);
}

}  // namespace
