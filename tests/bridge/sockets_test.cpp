// Socket built-ins called directly, the way the engine calls them, on real descriptors and on
// memory the test owns (sized exactly, so the sanitizer build sees any access past it).
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <initializer_list>
#include <map>
#include <netdb.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

#include "bridge/bridge_args.h"
#include "terms/data_values.h"
#include "bridge/families.h"
#include "eval/integer_values.h"
#include "numbers/reals.h"

namespace {

BuiltinFunction row(const char* name) {
  for (const BuiltinRow& r : socket_rows()) {
    if (std::strcmp(r.name, name) == 0) return r.function;
  }
  ADD_FAILURE() << "no row " << name;
  return nullptr;
}

Term num(int64_t v) { return bridge_int(v); }
Term addr(const void* p) { return bridge_address(p); }

// The built-in applied to its arguments, as the engine hands it over.
Term run(const char* name, std::initializer_list<Term> args) {
  Term m = make_leaf(name);
  for (const Term& a : args) m = apply(m, a);
  return row(name)(m);
}

std::string text_of(const Term& t) { return std::string(leaf_text(t)); }
int64_t int_of(const Term& t) { return to_int64(t); }

TEST(SocketRows, AllTwentyFiveWithTheirArities) {
  const std::map<std::string, int> expected = {
      {"accept", 3},     {"bind", 3},        {"closesocket", 1}, {"connect", 3},
      {"fd_set", 2},     {"freeaddrinfo", 1}, {"gai_strerror", 1}, {"getaddrinfo", 4},
      {"gethostname", 2}, {"getnameinfo", 7}, {"getpeername", 3}, {"htonl", 1},
      {"htons", 1},      {"inet_ntop", 4},   {"inet_pton", 3},   {"listen", 2},
      {"ntohl", 1},      {"ntohs", 1},       {"recv", 4},        {"recvfrom", 6},
      {"send", 4},       {"sendto", 6},      {"setsockopt", 5},  {"shutdown", 2},
      {"socket", 3}};
  std::map<std::string, int> found;
  for (const BuiltinRow& r : socket_rows()) {
    EXPECT_NE(r.function, nullptr) << r.name;
    EXPECT_TRUE(found.emplace(r.name, r.arity).second) << "twice: " << r.name;
  }
  EXPECT_EQ(found, expected);
}

// A wrong kind gives Z before anything is called, errno untouched; the arguments taken without
// the integer test elsewhere are no exception.
TEST(SocketArguments, WrongKindsGiveZWithoutACall) {
  errno = 4321;
  EXPECT_EQ(text_of(run("htons", {make_real(80.0)})), "Z");
  EXPECT_EQ(text_of(run("socket", {num(2), make_leaf("name"), num(0)})), "Z");
  EXPECT_EQ(text_of(run("getaddrinfo", {make_text("localhost"), num(0), num(0), num(0)})), "Z");
  EXPECT_EQ(text_of(run("getaddrinfo", {num(0), num(0), num(0), make_data("x")})), "Z");
  EXPECT_EQ(text_of(run("freeaddrinfo", {make_text("list")})), "Z");
  EXPECT_EQ(text_of(run("inet_pton", {num(AF_INET), make_text("127.0.0.1"), num(0)})), "Z");
  EXPECT_EQ(text_of(run("send", {num(0), make_real(1.0), num(1), num(0)})), "Z");
  EXPECT_EQ(text_of(run("fd_set", {make_leaf("s"), num(0)})), "Z");
  EXPECT_EQ(errno, 4321);
}

TEST(SocketArguments, NullPointersFailInsteadOfCrashing) {
  EXPECT_EQ(text_of(run("freeaddrinfo", {num(0)})), "I");
  errno = 0;
  EXPECT_EQ(int_of(run("gethostname", {num(0), num(64)})), -1);
  EXPECT_EQ(errno, EFAULT);
  EXPECT_EQ(int_of(run("getaddrinfo", {num(0), num(0), num(0), num(0)})), EAI_SYSTEM);
  unsigned char out[16];
  EXPECT_EQ(int_of(run("inet_pton", {num(AF_INET), num(0), addr(out)})), -1);
  const char* text = "127.0.0.1";
  EXPECT_EQ(int_of(run("inet_pton", {num(AF_INET), addr(text), num(0)})), -1);
  char buffer[64];
  EXPECT_EQ(text_of(run("inet_ntop", {num(AF_INET), num(0), addr(buffer), num(64)})), "0");
  EXPECT_EQ(text_of(run("inet_ntop", {num(AF_INET), addr(out), num(0), num(64)})), "0");
  EXPECT_EQ(text_of(run("fd_set", {num(3), num(0)})), "I");
}

TEST(SocketNames, GaiStrerrorIsTheLibrarysText) {
  Term got = run("gai_strerror", {num(EAI_NONAME)});
  auto text = reinterpret_cast<const char*>(static_cast<uintptr_t>(int_of(got)));
  EXPECT_STREQ(text, gai_strerror(EAI_NONAME));
  // Low 32 bits of the code.
  Term wrapped = run("gai_strerror", {num((int64_t(1) << 32) + EAI_NONAME)});
  EXPECT_EQ(int_of(wrapped), int_of(got));
}

// The record as the program lays it out: a 32-bit count, 64 slots of 8 bytes from offset 8.
struct SetRecord {
  std::vector<unsigned char> bytes = std::vector<unsigned char>(520, 0);
  uint32_t count() const {
    uint32_t c;
    std::memcpy(&c, bytes.data(), 4);
    return c;
  }
  void set_count(uint32_t c) { std::memcpy(bytes.data(), &c, 4); }
  uint64_t slot(int i) const {
    uint64_t s;
    std::memcpy(&s, bytes.data() + 8 + 8 * i, 8);
    return s;
  }
  Term add(int64_t socket) { return run("fd_set", {num(socket), addr(bytes.data())}); }
};

TEST(SocketFdSet, AddsOnceAndStopsAtSixtyFour) {
  SetRecord set;
  EXPECT_EQ(text_of(set.add(7)), "I");
  set.add(9);
  set.add(7);
  EXPECT_EQ(set.count(), 2u);
  EXPECT_EQ(set.slot(0), 7u);
  EXPECT_EQ(set.slot(1), 9u);
  // Slots compare all 64 bits: a value differing above bit 31 is another socket.
  set.add((int64_t(1) << 32) + 7);
  set.add(-1);
  EXPECT_EQ(set.count(), 4u);
  EXPECT_EQ(set.slot(2), (uint64_t(1) << 32) + 7);
  EXPECT_EQ(set.slot(3), ~uint64_t(0));
  for (int s = 100; set.count() < 64; ++s) set.add(s);
  std::vector<unsigned char> full = set.bytes;
  set.add(5000);
  EXPECT_EQ(set.bytes, full);
  // The last slot is the last 8 bytes of the record.
  EXPECT_NE(set.slot(63), 0u);
}

TEST(SocketFdSet, ACountPastTheSlotsIsAFullSet) {
  for (uint32_t count : {64u, 65u, 1000u, 0xFFFFFFFFu}) {
    SetRecord set;
    set.set_count(count);
    std::vector<unsigned char> before = set.bytes;
    set.add(3);
    EXPECT_EQ(set.bytes, before) << count;
  }
  // A present socket among slots read up to the count is found: nothing changes.
  SetRecord set;
  set.add(4);
  set.add(5);
  std::vector<unsigned char> before = set.bytes;
  set.add(5);
  EXPECT_EQ(set.bytes, before);
}

// One end of a connected pair of stream sockets; both closed at the end.
struct Pair {
  int end[2] = {-1, -1};
  Pair() { EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, end), 0); }
  ~Pair() {
    for (int fd : end) {
      if (fd >= 0) close(fd);
    }
  }
  std::string drain() {
    char buffer[256];
    ssize_t n = ::recv(end[1], buffer, sizeof buffer, MSG_DONTWAIT);
    return n > 0 ? std::string(buffer, size_t(n)) : std::string();
  }
};

TEST(SocketSend, SendsTheBytesOfItsArgumentAndNoMore) {
  Pair p;
  EXPECT_EQ(int_of(run("send", {num(p.end[0]), make_text("abc"), num(3), num(0)})), 3);
  EXPECT_EQ(p.drain(), "abc");
  // A length past the text stops after its terminating NUL.
  EXPECT_EQ(int_of(run("send", {num(p.end[0]), make_text("abc"), num(1000), num(0)})), 4);
  EXPECT_EQ(p.drain(), std::string("abc\0", 4));
  EXPECT_EQ(int_of(run("send", {num(p.end[0]), make_data("hi"), num(1000), num(0)})), 5);
  EXPECT_EQ(p.drain(), std::string("[hi]\0", 5));
  // An integer address sends the bytes there.
  const char* raw = "xyz";
  EXPECT_EQ(int_of(run("send", {num(p.end[0]), addr(raw), num(2), num(0)})), 2);
  EXPECT_EQ(p.drain(), "xy");
}

TEST(SocketSend, AClosedPeerGivesEpipeNotASignal) {
  Pair p;
  close(p.end[1]);
  p.end[1] = -1;
  errno = 0;
  EXPECT_EQ(int_of(run("send", {num(p.end[0]), make_text("lost"), num(4), num(0)})), -1);
  EXPECT_EQ(errno, EPIPE);
}

TEST(SocketCalls, LibraryFailuresComeBackAsValues) {
  errno = 0;
  EXPECT_EQ(text_of(run("socket", {num(12345), num(SOCK_STREAM), num(0)})), "01");
  EXPECT_EQ(errno, EAFNOSUPPORT);
  EXPECT_EQ(int_of(run("closesocket", {num(-1)})), -1);
  EXPECT_EQ(errno, EBADF);
  // The descriptor is the low 32 bits: 2^32 - 1 is -1.
  errno = 0;
  EXPECT_EQ(int_of(run("listen", {num(0xFFFFFFFFll), num(1)})), -1);
  EXPECT_EQ(errno, EBADF);
}

}  // namespace
