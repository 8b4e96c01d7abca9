#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "bridge/bridge_rows.h"
#include "common/builtin_registry.h"
#include "driver/builtin_families.h"
#include "primitives/primitive_rows.h"

namespace {

// The registry's list holds each built-in name once; every family row must name one of them
// with the same arity, or the registry would leave the built-in unavailable without a word.
TEST(BuiltinRows, RegistryListNamesEachBuiltinOnce) {
  std::set<std::string> names;
  for (const BuiltinName& b : builtin_names()) {
    EXPECT_TRUE(names.insert(b.name).second) << "twice: " << b.name;
  }
  EXPECT_EQ(names.size(), 223u);
}

TEST(BuiltinRows, EveryFamilyRowAgreesWithTheRegistryList) {
  std::map<std::string, int> listed;
  for (const BuiltinName& b : builtin_names()) listed[b.name] = b.arity;
  std::set<std::string> seen;
  for (auto rows : {primitive_rows(), bridge_rows()}) {
    for (const BuiltinRow& row : rows) {
      ASSERT_NE(row.name, nullptr);
      EXPECT_NE(row.function, nullptr) << row.name;
      EXPECT_TRUE(seen.insert(row.name).second) << "row twice: " << row.name;
      auto it = listed.find(row.name);
      if (it == listed.end()) {
        ADD_FAILURE() << "row for a name the registry does not list: " << row.name;
        continue;
      }
      EXPECT_EQ(int(row.arity), it->second) << "arity of " << row.name;
    }
  }
}

TEST(BuiltinRows, InstalledRowsAreTheRegistryFunctions) {
  install_builtin_families();
  install_builtin_families();  // a second installation changes nothing
  clear_builtin_registry();     // a refill keeps the installed functions
  for (auto rows : {primitive_rows(), bridge_rows()}) {
    for (const BuiltinRow& row : rows) {
      const BuiltinEntry* entry = find_builtin(row.name);
      ASSERT_NE(entry, nullptr) << row.name;
      EXPECT_EQ(entry->function, row.function) << row.name;
    }
  }
  EXPECT_EQ(builtin_registry().size(), 223u);
}

TEST(BuiltinRows, EveryRegistryEntryHasItsFunction) {
  install_builtin_families();
  for (const auto& [name, entry] : builtin_registry()) {
    EXPECT_NE(entry.function, nullptr) << "no implementation of " << name;
  }
}

}  // namespace
