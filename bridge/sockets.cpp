// Sockets and name resolution on the platform's descriptors: a socket is the int descriptor,
// closesocket is close, failures come back as the library's results with the reason in errno.
#include <arpa/inet.h>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <netdb.h>
#include <sys/socket.h>
#include <type_traits>
#include <unistd.h>
#include <utility>

#include "bridge/bridge_args.h"
#include "bridge/families.h"

namespace {

// Calling a library function with integer arguments: each is narrowed to its parameter type by
// keeping the low bits, or taken as an address for a pointer parameter.
template <typename T>
T from_integer(int64_t value) {
  if constexpr (std::is_pointer_v<T>) {
    return reinterpret_cast<T>(static_cast<uintptr_t>(value));
  } else {
    return static_cast<T>(value);
  }
}

template <typename R>
Term from_result(R value) {
  if constexpr (std::is_pointer_v<R>) {
    return bridge_address(value);
  } else if constexpr (std::is_signed_v<R>) {
    return bridge_int(static_cast<int64_t>(value));
  } else {
    // Zero-extended; for types narrower than 64 bits the numeral is the same as "%llu" gives.
    return bridge_unsigned(static_cast<uint64_t>(value));
  }
}

template <typename Function>
struct Signature;
template <typename R, typename... P>
struct Signature<R(P...)> {
  using Result = R;
  static constexpr int arity = sizeof...(P);
  template <auto F, size_t... I>
  static R call(const BridgeCall& c, std::index_sequence<I...>) {
    return F(from_integer<P>(c.integer[I])...);
  }
};
template <typename R, typename... P>
struct Signature<R(P...) noexcept> : Signature<R(P...)> {};

// A built-in whose arguments are all integers (addresses included), one per parameter of F.
template <auto F>
Term integer_call(Term m) {
  using S = Signature<std::remove_pointer_t<decltype(F)>>;
  static constexpr char kAllIntegers[] = "iiiiiii";
  static_assert(S::arity <= kBridgeMaxArgs);
  BridgeCall call;
  if (!bridge_convert(m, kAllIntegers + (sizeof kAllIntegers - 1 - S::arity), call)) {
    return bridge_error();
  }
  auto order = std::make_index_sequence<S::arity>();
  if constexpr (std::is_void_v<typename S::Result>) {
    S::template call<F>(call, order);
    return bridge_unit();
  } else {
    return from_result(S::template call<F>(call, order));
  }
}

// The library functions below dereference a null pointer in the process itself instead of
// failing; a null gives the failure a system call gives for a bad address.
int gethostname_checked(char* buffer, size_t size) {
  if (buffer == nullptr) {
    errno = EFAULT;
    return -1;
  }
  return ::gethostname(buffer, size);
}

int getaddrinfo_checked(const char* host, const char* service, const addrinfo* hints,
                        addrinfo** result) {
  if (result == nullptr) {
    errno = EFAULT;
    return EAI_SYSTEM;
  }
  return ::getaddrinfo(host, service, hints, result);
}

void freeaddrinfo_checked(addrinfo* list) {
  if (list != nullptr) ::freeaddrinfo(list);
}

const char* inet_ntop_checked(int family, const void* address, char* buffer, socklen_t size) {
  if (address == nullptr || buffer == nullptr) {
    errno = EFAULT;
    return nullptr;
  }
  return ::inet_ntop(family, address, buffer, size);
}

int inet_pton_checked(int family, const char* text, void* destination) {
  if (text == nullptr || destination == nullptr) {
    errno = EFAULT;
    return -1;
  }
  return ::inet_pton(family, text, destination);
}

// The bytes a C string argument may send: a text, data leaf or flattened pair is read no further
// than its own bytes and the NUL after them, so no interpreter memory beyond it leaves the process.
// An integer address is the program's promise.
size_t send_limit(const BridgeCall& call, int k, size_t length) {
  size_t held = SIZE_MAX;
  if (call.leaf[k]) {
    const Node* leaf = call.leaf[k].get();
    const char* end = leaf_chars(leaf) + leaf_text(leaf).size() + 1;
    held = size_t(end - call.text[k]);
  }
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
                        from_integer<const sockaddr*>(call.integer[4]),
                        static_cast<socklen_t>(call.integer[5]));
  return bridge_int(sent);
}

// The 520-byte set record: a 32-bit count, then 64 slots of 8 bytes from offset 8. A count of
// 64 or more is a full set; nothing past the record is read or written.
constexpr int kSetSlots = 64;
constexpr size_t kSetSlotsAt = 8;

Term fd_set_builtin(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "ii", call)) return bridge_error();
  auto descriptor = static_cast<uint64_t>(call.integer[0]);
  auto* set = from_integer<unsigned char*>(call.integer[1]);
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
    {"socket", 3, integer_call<::socket>},
    {"bind", 3, integer_call<::bind>},
    {"connect", 3, integer_call<::connect>},
    {"listen", 2, integer_call<::listen>},
    {"accept", 3, integer_call<::accept>},
    {"shutdown", 2, integer_call<::shutdown>},
    {"closesocket", 1, integer_call<::close>},
    {"send", 4, send_builtin},
    {"recv", 4, integer_call<::recv>},
    {"sendto", 6, sendto_builtin},
    {"recvfrom", 6, integer_call<::recvfrom>},
    {"setsockopt", 5, integer_call<::setsockopt>},
    {"getpeername", 3, integer_call<::getpeername>},
    {"gethostname", 2, integer_call<gethostname_checked>},
    {"getaddrinfo", 4, integer_call<getaddrinfo_checked>},
    {"freeaddrinfo", 1, integer_call<freeaddrinfo_checked>},
    {"gai_strerror", 1, integer_call<::gai_strerror>},
    {"getnameinfo", 7, integer_call<::getnameinfo>},
    {"inet_ntop", 4, integer_call<inet_ntop_checked>},
    {"inet_pton", 3, integer_call<inet_pton_checked>},
    {"htonl", 1, integer_call<::htonl>},
    {"htons", 1, integer_call<::htons>},
    {"ntohl", 1, integer_call<::ntohl>},
    {"ntohs", 1, integer_call<::ntohs>},
    {"fd_set", 2, fd_set_builtin},
};

}  // namespace

std::span<const BuiltinRow> socket_rows() { return kRows; }
