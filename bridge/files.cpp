// Files and standard streams: the C library's FILE streams, descriptor reads and writes, and
// removing and renaming files. Streams travel as the integer of their FILE address.
//
// A null stream, or a null buffer or text that the library would dereference, is answered
// without a call by the library's own failure value for the result type (-1, a null address,
// a count of 0, or I), with errno EBADF for the stream and EFAULT for the buffer: the library
// itself would crash on them.
#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "bridge/bridge_args.h"
#include "bridge/families.h"
#include "bridge/library_call.h"

namespace {

template <typename R>
Term failure_value() {
  if constexpr (std::is_void_v<R>) {
    return bridge_unit();
  } else if constexpr (std::is_pointer_v<R> || std::is_unsigned_v<R>) {
    return bridge_int(0);
  } else {
    return bridge_int(-1);
  }
}

// A null stream is a bad descriptor, a null buffer a bad address.
void note_refusal(char kind) { errno = kind == 'f' ? EBADF : EFAULT; }

// Refuses a null stream or buffer; otherwise true.
bool usable(const BridgeCall& call, const char* kinds) {
  char kind = null_argument(call, kinds);
  if (kind) note_refusal(kind);
  return kind == 0;
}

template <typename R>
Term refused_stream_call(char kind) {
  note_refusal(kind);
  return failure_value<R>();
}

template <Kinds K, auto Fn>
Term stdio_call(Term m) {
  return checked_library_call<K, Fn, refused_stream_call<LibraryResult<Fn>>>(m);
}

// How many bytes a C string argument may be read from: a leaf's payload with its terminating
// NUL; an address given as an integer is the program's own business.
size_t readable_bytes(const BridgeCall& call, int k) {
  if (!call.leaf[k]) return SIZE_MAX;
  const Node* leaf = call.leaf[k].get();
  const char* end = leaf_chars(leaf) + leaf_text(leaf).size() + 1;
  return size_t(end - call.text[k]);
}

// fread counts in unsigned decimal.
Term fread_call(Term m) {
  BridgeCall call;
  if (!convert_library_arguments<"piif">(m, call)) return bridge_error();
  if (!usable(call, "piif")) return bridge_unsigned(0);
  return bridge_unsigned(std::fread(library_value<void*>(call, 0, 'p'), size_t(call.integer[1]),
                                    size_t(call.integer[2]), library_value<FILE*>(call, 3, 'f')));
}

// fwrite and write never read past the end of a text leaf: a longer request is a wrong
// argument, and nothing is written.
Term fwrite_call(Term m) {
  BridgeCall call;
  if (!convert_library_arguments<"cnnf">(m, call)) return bridge_error();
  auto size = static_cast<size_t>(call.integer[1]);
  auto count = static_cast<size_t>(call.integer[2]);
  size_t bytes;
  bool overflow = __builtin_mul_overflow(size, count, &bytes);
  if (call.leaf[0] && (overflow || bytes > readable_bytes(call, 0))) return bridge_error();
  if (!usable(call, "cnnf")) return bridge_int(0);
  size_t written = std::fwrite(call.text[0], size, count, library_value<FILE*>(call, 3, 'f'));
  return bridge_int(static_cast<int64_t>(written));
}

// Bytes written to a descriptor come after everything the streams hold so far, so output
// keeps the order of the calls.
Term write_call(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "isi", call)) return bridge_error();
  auto count = static_cast<uint32_t>(call.integer[2]);
  if (count > readable_bytes(call, 1)) return bridge_error();
  int saved = errno;
  std::fflush(nullptr);
  errno = saved;
  return bridge_int(write(static_cast<int>(call.integer[0]), call.text[1], count));
}

ssize_t read_descriptor(int fd, void* buffer, uint32_t count) { return read(fd, buffer, count); }

// tmpnam is looked up at run time: a direct reference draws the linker's warning against it.
char* temporary_name(char* buffer) {
  using Tmpnam = char* (*)(char*);
  static const auto tmpnam_fn = reinterpret_cast<Tmpnam>(dlsym(RTLD_DEFAULT, "tmpnam"));
  if (!tmpnam_fn) {
    errno = ENOSYS;
    return nullptr;
  }
  return tmpnam_fn(buffer);
}

const BuiltinRow kRows[] = {
    {"fopen", 2, stdio_call<"cc", std::fopen>},
    {"fdopen", 2, stdio_call<"ic", fdopen>},
    {"tmpfile", 0, stdio_call<"", std::tmpfile>},
    {"tmpnam", 1, stdio_call<"i", temporary_name>},
    {"fclose", 1, stdio_call<"f", std::fclose>},
    {"fflush", 1, stdio_call<"i", std::fflush>},  // 0 flushes every stream
    {"fread", 4, fread_call},
    {"fwrite", 4, fwrite_call},
    {"fgets", 3, stdio_call<"pif", std::fgets>},
    {"fgetc", 1, stdio_call<"f", std::fgetc>},
    {"getc", 1, stdio_call<"f", std::getc>},
    {"getchar", 0, stdio_call<"", std::getchar>},
    {"ungetc", 2, stdio_call<"if", std::ungetc>},
    {"fputc", 2, stdio_call<"if", std::fputc>},
    {"putc", 2, stdio_call<"if", std::putc>},
    {"putchar", 1, stdio_call<"i", std::putchar>},
    {"fputs", 2, stdio_call<"pf", std::fputs>},
    {"puts", 1, stdio_call<"c", std::puts>},
    {"perror", 1, stdio_call<"s", std::perror>},  // 0: the message alone
    {"fseek", 3, stdio_call<"fii", std::fseek>},
    {"ftell", 1, stdio_call<"f", std::ftell>},
    {"rewind", 1, stdio_call<"f", std::rewind>},
    {"fgetpos", 2, stdio_call<"fp", std::fgetpos>},
    {"fsetpos", 2, stdio_call<"fp", std::fsetpos>},
    {"feof", 1, stdio_call<"f", std::feof>},
    {"ferror", 1, stdio_call<"f", std::ferror>},
    {"clearerr", 1, stdio_call<"f", std::clearerr>},
    {"setbuf", 2, stdio_call<"fi", std::setbuf>},  // 0: unbuffered
    {"fileno", 1, stdio_call<"f", fileno>},
    {"read", 3, stdio_call<"iii", read_descriptor>},
    {"write", 3, write_call},
    {"remove", 1, stdio_call<"c", ::remove>},
    {"rename", 2, stdio_call<"cc", ::rename>},
};

}  // namespace

std::span<const BuiltinRow> file_rows() { return kRows; }
