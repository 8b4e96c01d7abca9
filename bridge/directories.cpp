// Directory listing: the bridge's own directory records over the platform's directory search.
//
// opendir returns a 304-byte record the bridge owns: the current entry in the fixed 296-byte
// dirent layout at offset 0, the address of the search state at offset 296. readdir fills the
// entry and looks one entry ahead, so that d_off can carry a hash of the next name:
//   0   4  d_ino     always 0
//   4   4  d_off     hash of the next name, 2147483647 after the last one
//   8   2  d_reclen  296
//   16  8  d_namlen  name length without its NUL
//   24  4  d_type    0x2000 device, 0xC000 symbolic link, 0x4000 directory, 0x8000 other
//   28 261 d_name    NUL-terminated
// The gaps (10..15, 289..295) are left as they are.
//
// Every record handed out is registered until closedir, so readdir and closedir of any other
// address (0, never opened, already closed) answer 0 and -1 with EBADF without touching it.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

#include "bridge/bridge_args.h"
#include "bridge/families.h"

namespace {

constexpr size_t kEntrySize = 296;
constexpr size_t kRecordSize = 304;
constexpr size_t kStateOffset = 296;
constexpr size_t kNameRoom = 261;
constexpr int32_t kNoNextEntry = 2147483647;

struct Entry {
  char name[kNameRoom];
  uint32_t type;
};

struct SearchState {
  DIR* dir;
  bool cached;  // next holds an entry fetched but not yet returned
  Entry next;
};

// Each open record with its search state. The state is taken from here, not from the record,
// so a program that overwrites its record cannot make the bridge follow a wild address. Never
// destroyed: records a program keeps open to the end are still reachable at exit.
std::unordered_map<const void*, SearchState*>& open_records() {
  static auto* records = new std::unordered_map<const void*, SearchState*>;
  return *records;
}

unsigned char* record_at(int64_t address) {
  return reinterpret_cast<unsigned char*>(static_cast<uintptr_t>(address));
}

template <typename Field>
void put(unsigned char* record, size_t offset, Field value) {
  std::memcpy(record + offset, &value, sizeof value);
}

uint32_t entry_type(DIR* dir, const dirent* e) {
  unsigned char type = e->d_type;
  if (type == DT_UNKNOWN) {
    struct stat st;
    if (fstatat(dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
      if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return 0x2000;
      if (S_ISLNK(st.st_mode)) return 0xC000;
      if (S_ISDIR(st.st_mode)) return 0x4000;
    }
    return 0x8000;
  }
  if (type == DT_CHR || type == DT_BLK) return 0x2000;
  if (type == DT_LNK) return 0xC000;
  if (type == DT_DIR) return 0x4000;
  return 0x8000;
}

// The platform's next entry, copied out of its buffer; false at the end.
bool fetch(DIR* dir, Entry& out) {
  const dirent* e = readdir(dir);
  if (!e) return false;
  std::strncpy(out.name, e->d_name, kNameRoom - 1);
  out.name[kNameRoom - 1] = '\0';
  out.type = entry_type(dir, e);
  return true;
}

int32_t name_hash(const char* name) {
  uint32_t h = 5381;
  for (size_t i = 0; i < kNameRoom - 1 && name[i]; ++i) {
    h = static_cast<unsigned char>(name[i]) + 33 * h;
  }
  return static_cast<int32_t>(h & 0x7FFFFFFF);
}

Term opendir_builtin(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "i", call)) return bridge_error();
  const char* path = reinterpret_cast<const char*>(record_at(call.integer[0]));
  if (!path || !*path) {
    errno = ENOENT;
    return bridge_int(0);
  }
  auto* record = static_cast<unsigned char*>(std::calloc(1, kRecordSize));
  if (!record) return bridge_int(0);
  auto* state = static_cast<SearchState*>(std::calloc(1, sizeof(SearchState)));
  DIR* dir = state ? opendir(path) : nullptr;
  if (!dir) {
    std::free(state);
    std::free(record);
    return bridge_int(0);
  }
  state->dir = dir;
  state->cached = fetch(dir, state->next);
  put(record, kStateOffset, state);
  open_records()[record] = state;
  return bridge_address(record);
}

// The search state of a record the bridge handed out and has not closed; null otherwise.
SearchState* state_of(const unsigned char* record) {
  auto open = open_records().find(record);
  return open == open_records().end() ? nullptr : open->second;
}

// The dirent fields of the record for an entry and the hash of the one after it.
void write_entry(unsigned char* record, const Entry& entry, int32_t next_hash) {
  size_t length = std::strlen(entry.name);
  put<uint32_t>(record, 0, 0);
  put<int32_t>(record, 4, next_hash);
  put<uint16_t>(record, 8, kEntrySize);
  put<uint64_t>(record, 16, length);
  put<uint32_t>(record, 24, entry.type);
  std::memcpy(record + 28, entry.name, length + 1);
}

Term readdir_builtin(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "i", call)) return bridge_error();
  unsigned char* record = record_at(call.integer[0]);
  SearchState* state = state_of(record);
  if (!state) return bridge_int(0);
  Entry current;
  if (state->cached) {
    current = state->next;
    state->cached = false;
  } else if (!fetch(state->dir, current)) {
    return bridge_int(0);
  }
  int32_t next_hash = kNoNextEntry;
  if (fetch(state->dir, state->next)) {
    next_hash = name_hash(state->next.name);
    state->cached = true;
  }
  write_entry(record, current, next_hash);
  return bridge_address(record);
}

Term closedir_builtin(Term m) {
  BridgeCall call;
  if (!bridge_convert(m, "i", call)) return bridge_error();
  unsigned char* record = record_at(call.integer[0]);
  SearchState* state = state_of(record);
  if (!state) {
    errno = EBADF;
    return bridge_int(-1);
  }
  open_records().erase(record);
  closedir(state->dir);
  std::free(state);
  put<SearchState*>(record, kStateOffset, nullptr);
  std::free(record);
  return bridge_int(0);
}

const BuiltinRow kRows[] = {
    {"opendir", 1, opendir_builtin},
    {"readdir", 1, readdir_builtin},
    {"closedir", 1, closedir_builtin},
};

}  // namespace

std::span<const BuiltinRow> directory_rows() { return kRows; }
