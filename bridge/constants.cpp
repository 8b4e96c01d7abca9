// Constant built-ins: record sizes, the library's error numbers and streams, socket hints.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <netdb.h>
#include <sys/socket.h>

#include "bridge/bridge_args.h"
#include "bridge/families.h"

namespace {

template <int64_t Value>
Term constant(Term) {
  return bridge_int(Value);
}

Term current_errno(Term) { return bridge_int(errno); }
Term stdout_address(Term) { return bridge_address(stdout); }
Term stderr_address(Term) { return bridge_address(stderr); }

// The bridge's dirent record keeps its own fixed layout whatever the platform's is.
constexpr int64_t kDirentSize = 296;

const BuiltinRow kRows[] = {
    {"af_unspec", 0, constant<AF_UNSPEC>},
    {"ai_passive", 0, constant<AI_PASSIVE>},
    {"sock_stream", 0, constant<SOCK_STREAM>},
    {"rand_max", 0, constant<RAND_MAX>},
    {"addrinfo", 0, constant<sizeof(addrinfo)>},
    {"dirent", 0, constant<kDirentSize>},
    {"time_t", 0, constant<sizeof(time_t)>},
    {"errno", 0, current_errno},
    {"stdout", 0, stdout_address},
    {"stderr", 0, stderr_address},
    {"eacces", 0, constant<EACCES>},
    {"ebadf", 0, constant<EBADF>},
    {"econnaborted", 0, constant<ECONNABORTED>},
    {"efault", 0, constant<EFAULT>},
    {"eintr", 0, constant<EINTR>},
    {"einval", 0, constant<EINVAL>},
    {"eio", 0, constant<EIO>},
    {"emfile", 0, constant<EMFILE>},
    {"enfile", 0, constant<ENFILE>},
    {"enodev", 0, constant<ENODEV>},
    {"enomem", 0, constant<ENOMEM>},
    {"enotsock", 0, constant<ENOTSOCK>},
    {"enxio", 0, constant<ENXIO>},
    {"eopnotsupp", 0, constant<EOPNOTSUPP>},
    {"eoverflow", 0, constant<EOVERFLOW>},
    {"ewouldblock", 0, constant<EWOULDBLOCK>},
};

}  // namespace

std::span<const BuiltinRow> constant_rows() { return kRows; }
