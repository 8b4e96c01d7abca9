// The directory records byte by byte: what readdir writes, what it leaves alone, and what
// readdir and closedir do with addresses that are not open records.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "bridge/families.h"
#include "eval/integer_values.h"
#include "numbers/numerals.h"
#include "terms/term.h"

namespace {

BuiltinFunction row(const char* name) {
  for (const BuiltinRow& r : directory_rows()) {
    if (std::strcmp(r.name, name) == 0) return r.function;
  }
  ADD_FAILURE() << "no row " << name;
  return nullptr;
}

int64_t call(const char* name, int64_t argument) {
  Term result = row(name)(apply(make_leaf(name), int64_to_numeral(argument)));
  return to_int64(result);
}

int64_t address(const void* p) { return static_cast<int64_t>(reinterpret_cast<uintptr_t>(p)); }

template <typename Field>
Field field(const unsigned char* record, size_t offset) {
  Field value;
  std::memcpy(&value, record + offset, sizeof value);
  return value;
}

// The reference hash over the bytes of a name.
int32_t hash_of(const std::string& name) {
  uint32_t h = 5381;
  for (unsigned char c : name) h = c + 33 * h;
  return static_cast<int32_t>(h & 0x7FFFFFFF);
}

struct TempDir {
  std::string path;
  TempDir() {
    char pattern[] = "/tmp/tarn-dir-XXXXXX";
    path = mkdtemp(pattern);
  }
  ~TempDir() { std::filesystem::remove_all(path); }
  void file(const std::string& name) { std::ofstream(path + "/" + name) << name; }
};

TEST(Directories, ListingFillsTheEntryAndHashesTheNextName) {
  TempDir dir;
  dir.file("a");
  dir.file("bb");
  dir.file("a name with spaces");
  int64_t r = call("opendir", address(dir.path.c_str()));
  ASSERT_NE(r, 0);
  auto* record = reinterpret_cast<unsigned char*>(static_cast<uintptr_t>(r));
  std::vector<std::string> names;
  std::vector<int32_t> offsets;
  for (int64_t e; (e = call("readdir", r)) != 0;) {
    ASSERT_EQ(e, r);
    std::string name(reinterpret_cast<const char*>(record + 28));
    names.push_back(name);
    offsets.push_back(field<int32_t>(record, 4));
    EXPECT_EQ(field<uint32_t>(record, 0), 0u);
    EXPECT_EQ(field<uint16_t>(record, 8), 296);
    EXPECT_EQ(field<uint64_t>(record, 16), name.size());
    EXPECT_EQ(field<uint32_t>(record, 24), name == "." || name == ".." ? 0x4000u : 0x8000u);
    for (size_t gap = 10; gap < 16; ++gap) EXPECT_EQ(record[gap], 0) << name;
    for (size_t gap = 289; gap < 296; ++gap) EXPECT_EQ(record[gap], 0) << name;
  }
  std::set<std::string> want = {".", "..", "a", "bb", "a name with spaces"};
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()), want);
  ASSERT_EQ(names.size(), want.size());
  for (size_t i = 0; i + 1 < names.size(); ++i) EXPECT_EQ(offsets[i], hash_of(names[i + 1]));
  EXPECT_EQ(offsets.back(), 2147483647);
  EXPECT_EQ(call("readdir", r), 0);
  EXPECT_EQ(call("closedir", r), 0);
}

TEST(Directories, ClosedAndForeignRecordsAreLeftAlone) {
  TempDir dir;
  int64_t r = call("opendir", address(dir.path.c_str()));
  ASSERT_NE(r, 0);
  EXPECT_EQ(call("closedir", r), 0);
  errno = 0;
  EXPECT_EQ(call("closedir", r), -1);
  EXPECT_EQ(errno, EBADF);
  EXPECT_EQ(call("readdir", r), 0);

  unsigned char foreign[304];
  std::memset(foreign, 0xAB, sizeof foreign);
  errno = 0;
  EXPECT_EQ(call("readdir", address(foreign)), 0);
  EXPECT_EQ(call("closedir", address(foreign)), -1);
  EXPECT_EQ(errno, EBADF);
  for (unsigned char byte : foreign) ASSERT_EQ(byte, 0xAB);
  EXPECT_EQ(call("readdir", 0), 0);
  EXPECT_EQ(call("closedir", 0), -1);
}

TEST(Directories, FailedOpensReportTheLibrarysReason) {
  TempDir dir;
  dir.file("plain");
  errno = 0;
  EXPECT_EQ(call("opendir", 0), 0);
  EXPECT_EQ(errno, ENOENT);
  errno = 0;
  EXPECT_EQ(call("opendir", address("")), 0);
  EXPECT_EQ(errno, ENOENT);
  std::string missing = dir.path + "/missing", plain = dir.path + "/plain";
  EXPECT_EQ(call("opendir", address(missing.c_str())), 0);
  EXPECT_EQ(errno, ENOENT);
  EXPECT_EQ(call("opendir", address(plain.c_str())), 0);
  EXPECT_EQ(errno, ENOTDIR);
}

}  // namespace
