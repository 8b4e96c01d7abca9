#include "diagnostics/diagnostics.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

std::string_view error_type_word(ErrorType type) {
  switch (type) {
    case ErrorType::none: return "Empty";
    case ErrorType::match: return "Match";
    case ErrorType::comma: return "Comma";
    case ErrorType::built: return "Built";
    case ErrorType::place: return "Place";
    case ErrorType::alive: return "Alive";
    case ErrorType::arity: return "Arity";
    case ErrorType::funky: return "Funky";
    case ErrorType::local: return "Local";
    case ErrorType::cycle: return "Cycle";
    case ErrorType::range: return "Range";
  }
  assertion_failed("b", 4049);
}

std::string format_report(const ErrorRecord& r) {
  if (record_ok(r)) return "No errors.\n";
  std::string out = "Error.\n Type: " + std::string(error_type_word(r.type)) + "\n";
  if (!r.name.empty()) out += " Name: " + r.name + "\n";
  out += r.message + "\n\\/\n";
  return out;
}

namespace {

enum class ByteClass { plain, red, green };

ByteClass class_of(unsigned char b) {
  if (b == 0x0A || (b >= 0x20 && b <= 0x7E)) return ByteClass::plain;
  if (b >= 0xA1 && b <= 0xFE) return ByteClass::red;
  return ByteClass::green;
}

// The display character of a green byte. 0xA0 continues the green digits as "9" so that
// UTF-8 text (where 0xA0 is common) stays reportable.
char green_char(unsigned char b) {
  static const char kPunct[] = "~!@#$%^&*<>-|+/=\\.`'\":;?";
  if (b == 0x00) return 'J';
  if (b <= 0x09) return char('A' + b - 1);
  if (b >= 0x0B && b <= 0x1A) return char('K' + b - 0x0B);
  if (b >= 0x1B && b <= 0x1F) return "(){}["[b - 0x1B];
  if (b >= 0x7F && b <= 0x96) return kPunct[b - 0x7F];
  if (b >= 0x97 && b <= 0xA0) return char('0' + b - 0x97);
  return ']';  // 0xFF
}

const char* escape_of(ByteClass c) {
  switch (c) {
    case ByteClass::red: return "\x1b[31m";
    case ByteClass::green: return "\x1b[32m";
    default: return "\x1b[m";
  }
}

}  // namespace

std::string colour_text(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 16);
  ByteClass current = ByteClass::plain;
  for (char ch : text) {
    auto b = static_cast<unsigned char>(ch);
    ByteClass c = b == 0xA0 ? ByteClass::green : class_of(b);
    if (c != current) {
      out += escape_of(c);
      current = c;
    }
    switch (c) {
      case ByteClass::plain: out += ch; break;
      case ByteClass::red: out += char(b - 0x80); break;
      case ByteClass::green: out += green_char(b); break;
    }
  }
  if (current != ByteClass::plain) out += "\x1b[m";
  return out;
}

std::string display_name(std::string_view path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char ch : path) {
    auto b = static_cast<unsigned char>(ch);
    if (b == '[' || b == ']' || b == 0x7F || b < 0x20 || b >= 0x80) {
      out += '[';
      out += kHex[b >> 4];
      out += kHex[b & 15];
      out += ']';
    } else {
      out += ch;
    }
  }
  return out;
}

void assertion_failed(const char* file, int line) {
  std::fflush(stdout);
  std::fprintf(stderr, "ASSERTION FAILED:%s:%d\n", file, line);
  std::fflush(stderr);
  std::abort();
}

void fatal(std::string_view word) {
  std::fwrite("REDVFAIL: ", 1, 10, stdout);
  std::fwrite(word.data(), 1, word.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
  assertion_failed("b", 629);
}

void append_to_file(const char* path, std::string_view text) {
#ifdef TARN_FUZZ_BUDGETS
  // Millions of fuzz inputs would fill the fixed files; the fuzz build writes none.
  (void)path;
  (void)text;
  return;
#endif
  // Never follow a link planted at the fixed path; a failed open skips the line.
  int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return;
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      break;
    }
    done += size_t(n);
  }
  core_assert(close(fd) == 0, 5104);
}

void debug_log(std::string_view text) { append_to_file("/tmp/redv.log", text); }
