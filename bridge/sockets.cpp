// Sockets and name resolution on the platform's descriptors: a socket is the int descriptor,
// closesocket is close, failures come back as the library's results with the reason in errno.
#include <arpa/inet.h>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include "bridge/bridge_args.h"
#include "bridge/families.h"
#include "bridge/library_call.h"

namespace {

// One library call. A null 'p' argument, which the library would dereference in the process
// itself, gets the failure a system call gives for a bad address: EFAULT and the function's
// failure result.
template <int Refused>
Term refused_socket_call(char) {
  errno = EFAULT;
  return bridge_int(Refused);
}

template <Kinds K, auto Fn, int Refused = -1>
Term socket_call(Term m) {
  return checked_library_call<K, Fn, refused_socket_call<Refused>>(m);
}

void freeaddrinfo_list(addrinfo* list) {
  if (list != nullptr) ::freeaddrinfo(list);
}

// The bytes a C string argument may send: a text or data leaf (a pair's flattened text included)
// is read no further than its own bytes and the NUL after them, so no interpreter memory beyond
// it leaves the process.
// An integer address is the program's promise.
size_t send_limit(const BridgeCall& call, int k, size_t length) {
  if (!call.leaf[k]) return length;
  const Node* leaf = call.leaf[k].get();
  const char* end = leaf_chars(leaf) + leaf_text(leaf).size() + 1;
  size_t held = size_t(end - call.text[k]);
  return length < held ? length : held;
}

// A peer that has gone away gives -1 with EPIPE rather than a signal that ends the interpreter.
Term send_builtin(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "isii", call)) return bridge_error();
  ssize_t sent = ::send(static_cast<int>(call.integer[0]), call.text[1],
                        send_limit(call, 1, static_cast<size_t>(call.integer[2])),
                        static_cast<int>(call.integer[3]) | MSG_NOSIGNAL);
  return bridge_int(sent);
}

Term sendto_builtin(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "isiiii", call)) return bridge_error();
  ssize_t sent = ::sendto(static_cast<int>(call.integer[0]), call.text[1],
                          send_limit(call, 1, static_cast<size_t>(call.integer[2])),
                          static_cast<int>(call.integer[3]) | MSG_NOSIGNAL,
                          library_value<const sockaddr*>(call, 4, 'i'),
                          static_cast<socklen_t>(call.integer[5]));
  return bridge_int(sent);
}

// The 520-byte set record: a 32-bit count, then 64 slots of 8 bytes from offset 8. A count of
// 64 or more is a full set; nothing past the record is read or written. A null set has no room.
constexpr int kSetSlots = 64;
constexpr size_t kSetSlotsAt = 8;

Term fd_set_builtin(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "ii", call)) return bridge_error();
  auto descriptor = static_cast<uint64_t>(call.integer[0]);
  auto* set = library_value<unsigned char*>(call, 1, 'i');
  if (set == nullptr) return bridge_unit();
  uint32_t count;
  std::memcpy(&count, set, sizeof count);
  uint32_t used = count < kSetSlots ? count : kSetSlots;
  for (uint32_t slot = 0; slot < used; ++slot) {
    uint64_t present;
    std::memcpy(&present, set + kSetSlotsAt + 8 * slot, sizeof present);
    if (present == descriptor) return bridge_unit();
  }
  if (count < kSetSlots) {
    std::memcpy(set + kSetSlotsAt + 8 * count, &descriptor, sizeof descriptor);
    ++count;
    std::memcpy(set, &count, sizeof count);
  }
  return bridge_unit();
}

const BuiltinRow kRows[] = {
    {"socket", 3, socket_call<"iii", ::socket>},
    {"bind", 3, socket_call<"iii", ::bind>},
    {"connect", 3, socket_call<"iii", ::connect>},
    {"listen", 2, socket_call<"ii", ::listen>},
    {"accept", 3, socket_call<"iii", ::accept>},
    {"shutdown", 2, socket_call<"ii", ::shutdown>},
    {"closesocket", 1, socket_call<"i", ::close>},
    {"send", 4, send_builtin},
    {"recv", 4, socket_call<"iiii", ::recv>},
    {"sendto", 6, sendto_builtin},
    {"recvfrom", 6, socket_call<"iiiiii", ::recvfrom>},
    {"setsockopt", 5, socket_call<"iiiii", ::setsockopt>},
    {"getpeername", 3, socket_call<"iii", ::getpeername>},
    {"gethostname", 2, socket_call<"pi", ::gethostname>},
    {"getaddrinfo", 4, socket_call<"uuup", ::getaddrinfo, EAI_SYSTEM>},
    {"freeaddrinfo", 1, socket_call<"u", freeaddrinfo_list>},
    {"gai_strerror", 1, socket_call<"i", ::gai_strerror>},
    {"getnameinfo", 7, socket_call<"iiiiiii", ::getnameinfo>},
    {"inet_ntop", 4, socket_call<"ippi", ::inet_ntop, 0>},
    {"inet_pton", 3, socket_call<"ipp", ::inet_pton>},
    {"htonl", 1, socket_call<"i", ::htonl>},
    {"htons", 1, socket_call<"i", ::htons>},
    {"ntohl", 1, socket_call<"i", ::ntohl>},
    {"ntohs", 1, socket_call<"i", ::ntohs>},
    {"fd_set", 2, fd_set_builtin},
};

}  // namespace

std::span<const BuiltinRow> socket_rows() { return kRows; }
