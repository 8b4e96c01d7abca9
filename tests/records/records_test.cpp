#include "records.h"

#include <netdb.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "data.h"

namespace {

struct Segment {
  std::string name;  // empty for a gap
  int64_t width;
  int64_t offset;
};

// Reads a record "[" name segments "]" back into its segments with their offsets.
std::vector<Segment> segments_of(const std::string& record) {
  std::vector<Segment> out;
  size_t i = record.find('[', 1);
  int64_t offset = 0;
  while (record[i] == '[') {
    size_t open = record.find('[', i + 1);
    size_t close = record.find(']', open);
    Segment s{record.substr(i + 1, open - i - 1),
              std::stoll(record.substr(open + 1, close - open - 1)), offset};
    offset += s.width;
    out.push_back(s);
    i = close + 2;
  }
  return out;
}

std::string record_named(const std::string& all, const std::string& name) {
  size_t start = all.find("[" + name + "[");
  size_t depth = 0, i = start;
  do {
    depth += all[i] == '[';
    depth -= all[i] == ']';
    ++i;
  } while (depth);
  return all.substr(start, i - start);
}

TEST(Declarations, WholeTextOnGlibc) {
  EXPECT_EQ(record_declarations(),
            "[[addrinfo[ai_flags[4]][ai_family[4]][ai_socktype[4]][ai_protocol[4]]"
            "[ai_addrlen[4]][[4]][ai_addr[8]][ai_canonname[8]][ai_next[8]]]"
            "[dirent[d_ino[4]][d_off[4]][d_reclen[2]][[6]][d_namlen[8]][d_type[4]]"
            "[d_name[261]][[7]]][fd_set[[520]]][size_t[[8]]][socklen_t[[4]]][time_t[[8]]]]");
}

TEST(Declarations, AddrinfoFollowsThePlatformHeader) {
  std::vector<Segment> segs = segments_of(record_named(record_declarations(), "addrinfo"));
  struct Expected {
    const char* name;
    size_t width;
    size_t offset;
  };
  const Expected fields[] = {
      {"ai_flags", sizeof(addrinfo::ai_flags), offsetof(addrinfo, ai_flags)},
      {"ai_family", sizeof(addrinfo::ai_family), offsetof(addrinfo, ai_family)},
      {"ai_socktype", sizeof(addrinfo::ai_socktype), offsetof(addrinfo, ai_socktype)},
      {"ai_protocol", sizeof(addrinfo::ai_protocol), offsetof(addrinfo, ai_protocol)},
      {"ai_addrlen", sizeof(addrinfo::ai_addrlen), offsetof(addrinfo, ai_addrlen)},
      {"ai_addr", sizeof(addrinfo::ai_addr), offsetof(addrinfo, ai_addr)},
      {"ai_canonname", sizeof(addrinfo::ai_canonname), offsetof(addrinfo, ai_canonname)},
      {"ai_next", sizeof(addrinfo::ai_next), offsetof(addrinfo, ai_next)},
  };
  for (const Expected& f : fields) {
    bool found = false;
    for (const Segment& s : segs) {
      if (s.name != f.name) continue;
      found = true;
      EXPECT_EQ(size_t(s.width), f.width) << f.name;
      EXPECT_EQ(size_t(s.offset), f.offset) << f.name;
    }
    EXPECT_TRUE(found) << f.name;
  }
  EXPECT_EQ(size_t(segs.back().offset + segs.back().width), sizeof(addrinfo));
  // glibc: a 4-byte length, then a gap, and the address before the canonical name.
  EXPECT_EQ(offsetof(addrinfo, ai_addr), 24u);
  EXPECT_EQ(offsetof(addrinfo, ai_canonname), 32u);
}

TEST(Declarations, IsOneDataLeafOfSixRecords) {
  Term leaf = make_leaf(record_declarations());
  EXPECT_TRUE(is_data_value(leaf));
  EXPECT_EQ(data_element_count(leaf), 6u);
  EXPECT_EQ(std::string(leaf_text(data_element(leaf, 2))), "[fd_set[[520]]]");
}

TEST(Insertion, AnyOrderGivesOffsetOrder) {
  // The other socket library's layout: an 8-byte length, the name before the address.
  std::string r = record_start("addrinfo", 48);
  insert_field(r, "ai_flags", 4, 0);
  insert_field(r, "ai_family", 4, 4);
  insert_field(r, "ai_socktype", 4, 8);
  insert_field(r, "ai_protocol", 4, 12);
  insert_field(r, "ai_addrlen", 8, 16);
  insert_field(r, "ai_addr", 8, 32);
  insert_field(r, "ai_canonname", 8, 24);
  insert_field(r, "ai_next", 8, 40);
  EXPECT_EQ(r,
            "[addrinfo[ai_flags[4]][ai_family[4]][ai_socktype[4]][ai_protocol[4]]"
            "[ai_addrlen[8]][ai_canonname[8]][ai_addr[8]][ai_next[8]]]");
  std::string g = record_start("g", 10);
  EXPECT_EQ(g, "[g[[10]]]");
  insert_field(g, "mid", 2, 4);
  EXPECT_EQ(g, "[g[[4]][mid[2]][[4]]]");
  insert_field(g, "end", 4, 6);
  EXPECT_EQ(g, "[g[[4]][mid[2]][end[4]]]");
}

TEST(Insertion, Assertions) {
  std::string r = record_start("r", 16);
  insert_field(r, "a", 4, 4);
  EXPECT_DEATH(insert_field(r, "b", 4, 2), "ASSERTION FAILED:b:3614\n");   // overruns the gap
  EXPECT_DEATH(insert_field(r, "b", 2, 5), "ASSERTION FAILED:b:3615\n");   // inside field a
  EXPECT_DEATH(insert_field(r, "b", 20, 8), "ASSERTION FAILED:b:3614\n");  // past the end
  EXPECT_DEATH(insert_field(r, "b", 1, 16), "ASSERTION FAILED:b:3614\n");  // starts at the end
}

}  // namespace
