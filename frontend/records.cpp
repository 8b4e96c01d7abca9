#include "frontend/records.h"

#include <netdb.h>
#include <sys/socket.h>

#include <cstddef>
#include <cstdio>
#include <ctime>

#include "diagnostics/diagnostics.h"

namespace {

std::string width_text(int64_t n) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%lli", static_cast<long long>(n));
  return buffer;
}

std::string gap(int64_t width) { return "[[" + width_text(width) + "]]"; }

// Index just past the bracket group that opens at `open`.
size_t group_end(std::string_view text, size_t open) {
  size_t depth = 0;
  size_t i = open;
  do {
    if (text[i] == '[') ++depth;
    if (text[i] == ']') --depth;
    ++i;
  } while (depth && i < text.size());
  return i;
}

// The decimal number inside a segment's innermost brackets.
int64_t segment_width(std::string_view segment) {
  int64_t width = 0;
  for (size_t i = segment.rfind('[') + 1; i < segment.size() && segment[i] != ']'; ++i) {
    width = width * 10 + (segment[i] - '0');
  }
  return width;
}

// The bridge's own directory entry (the layout its readdir writes), 296 bytes.
constexpr int64_t kDirentSize = 296;
struct DirentField {
  const char* name;
  int64_t width;
  int64_t offset;
};
constexpr DirentField kDirentFields[] = {
    {"d_ino", 4, 0},     {"d_off", 4, 4},   {"d_namlen", 8, 16},
    {"d_reclen", 2, 8},  {"d_type", 4, 24}, {"d_name", 261, 28},
};

// The set record the fd_set built-in fills: a count and 64 eight-byte socket slots.
constexpr int64_t kFdSetSize = 520;

#define ADDRINFO_FIELD(record, member) \
  insert_field(record, #member, sizeof(addrinfo::member), offsetof(addrinfo, member))

std::string addrinfo_record() {
  std::string r = record_start("addrinfo", sizeof(addrinfo));
  ADDRINFO_FIELD(r, ai_flags);
  ADDRINFO_FIELD(r, ai_family);
  ADDRINFO_FIELD(r, ai_socktype);
  ADDRINFO_FIELD(r, ai_protocol);
  ADDRINFO_FIELD(r, ai_addrlen);
  ADDRINFO_FIELD(r, ai_addr);
  ADDRINFO_FIELD(r, ai_canonname);
  ADDRINFO_FIELD(r, ai_next);
  return r;
}

#undef ADDRINFO_FIELD

std::string dirent_record() {
  std::string r = record_start("dirent", kDirentSize);
  for (const DirentField& f : kDirentFields) insert_field(r, f.name, f.width, f.offset);
  return r;
}

}  // namespace

std::string record_start(std::string_view name, int64_t size) {
  std::string r = "[";
  r.append(name);
  r += gap(size);
  r += ']';
  return r;
}

void insert_field(std::string& record, std::string_view field, int64_t width, int64_t offset) {
  size_t pos = record.find('[', 1);
  int64_t start = 0;
  while (pos < record.size() && record[pos] == '[') {
    size_t end = group_end(record, pos);
    std::string_view segment = std::string_view(record).substr(pos, end - pos);
    int64_t stop = start + segment_width(segment);
    if (offset >= stop) {
      start = stop;
      pos = end;
      continue;
    }
    core_assert(offset >= start && stop >= offset + width, 3614);
    core_assert(segment.substr(0, 2) == "[[", 3615);
    std::string replacement;
    if (offset != start) replacement += gap(offset - start);
    replacement += "[";
    replacement.append(field);
    replacement += "[" + width_text(width) + "]]";
    if (stop != offset + width) replacement += gap(stop - offset - width);
    record.replace(pos, end - pos, replacement);
    return;
  }
  core_assert(false, 3614);  // the field lies past the end of the record
}

std::string record_declarations() {
  std::string text = "[";
  text += addrinfo_record();
  text += dirent_record();
  text += record_start("fd_set", kFdSetSize);
  text += record_start("size_t", sizeof(size_t));
  text += record_start("socklen_t", sizeof(socklen_t));
  text += record_start("time_t", sizeof(time_t));
  text += "]";
  return text;
}
