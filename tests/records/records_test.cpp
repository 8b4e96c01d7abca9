#include "frontend/records.h"

#include <netdb.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "terms/data_values.h"

namespace {

TEST(Declarations, WholeTextOnGlibc) {
  EXPECT_EQ(record_declarations(),
            "[[addrinfo[ai_flags[4]][ai_family[4]][ai_socktype[4]][ai_protocol[4]]"
            "[ai_addrlen[4]][[4]][ai_addr[8]][ai_canonname[8]][ai_next[8]]]"
            "[dirent[d_ino[4]][d_off[4]][d_reclen[2]][[6]][d_namlen[8]][d_type[4]]"
            "[d_name[261]][[7]]][fd_set[[520]]][size_t[[8]]][socklen_t[[4]]][time_t[[8]]]]");
}

TEST(Declarations, AddrinfoMatchesThePlatformHeader) {
  // The text above is glibc's struct addrinfo: a 4-byte length and a gap before the address,
  // the address before the canonical name, 48 bytes in all.
  EXPECT_EQ(sizeof(addrinfo::ai_addrlen), 4u);
  EXPECT_EQ(offsetof(addrinfo, ai_addrlen), 16u);
  EXPECT_EQ(offsetof(addrinfo, ai_addr), 24u);
  EXPECT_EQ(offsetof(addrinfo, ai_canonname), 32u);
  EXPECT_EQ(offsetof(addrinfo, ai_next), 40u);
  EXPECT_EQ(sizeof(addrinfo), 48u);
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
