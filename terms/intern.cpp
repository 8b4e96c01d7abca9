#include "terms/intern.h"

#include <cstdint>
#include <cstring>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

namespace {

using NodePair = std::pair<const Node*, const Node*>;

struct NodePairHash {
  size_t operator()(const NodePair& p) const {
    auto a = reinterpret_cast<uintptr_t>(p.first);
    auto b = reinterpret_cast<uintptr_t>(p.second);
    return std::hash<uintptr_t>{}(a * 0x9E3779B97F4A7C15ull ^ b);
  }
};

uint64_t mix(uint64_t x) {
  x ^= x >> 30;
  x *= 0xBF58476D1CE4E5B9ull;
  x ^= x >> 27;
  x *= 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

uint64_t leaf_hash(const Node* leaf) {
  return mix(std::hash<std::string_view>{}(leaf_text(leaf)) ^ 0x6C656166ull);
}

uint64_t pair_hash(uint64_t left, uint64_t right) {
  return mix(left * 0x9E3779B97F4A7C15ull + mix(right + 0x70616972ull));
}

// The members, in open addressing by structural hash; each holds one reference.
struct MemberTable {
  struct Slot {
    uint64_t hash;
    Node* node;  // null: free
  };
  std::vector<Slot> slots;
  size_t count = 0;
};

// Lives to the end of the process: the members stay reachable and are never released one by
// one at exit.
MemberTable& members() {
  static MemberTable* table = new MemberTable;
  return *table;
}

void place(MemberTable& t, uint64_t hash, Node* n) {
  size_t mask = t.slots.size() - 1;
  size_t i = hash & mask;
  while (t.slots[i].node) i = (i + 1) & mask;
  t.slots[i] = {hash, n};
  ++t.count;
}

// Re-places the given members in a table of `capacity` slots (a power of two).
void rebuild(MemberTable& t, size_t capacity, const std::vector<MemberTable::Slot>& keep) {
  t.slots.assign(capacity, MemberTable::Slot{0, nullptr});
  t.count = 0;
  for (const MemberTable::Slot& s : keep) {
    if (s.node) place(t, s.hash, s.node);
  }
}

// Enters n, taking over one reference the caller owns.
void adopt_member(uint64_t hash, Node* n) {
  MemberTable& t = members();
  if (2 * (t.count + 1) > t.slots.size()) {
    std::vector<MemberTable::Slot> old = std::move(t.slots);
    rebuild(t, old.empty() ? 1024 : old.size() * 2, old);
  }
  place(t, hash, n);
}

int compare_texts(std::string_view a, std::string_view b) {
  size_t common = a.size() < b.size() ? a.size() : b.size();
  if (common) {
    int c = std::memcmp(a.data(), b.data(), common);  // memcmp compares unsigned bytes
    if (c) return c < 0 ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

// An open-addressing map from node to a 64-bit value, for the per-call bookkeeping of
// `intern`, which may touch millions of nodes.
class NodeMap {
 public:
  uint64_t* find(const Node* key) {
    if (slots_.empty()) return nullptr;
    for (size_t i = slot_of(key);; i = (i + 1) & (slots_.size() - 1)) {
      if (slots_[i].key == key) return &slots_[i].value;
      if (!slots_[i].key) return nullptr;
    }
  }
  void put(const Node* key, uint64_t value) {
    if (uint64_t* v = find(key)) {
      *v = value;
      return;
    }
    if (2 * (count_ + 1) > slots_.size()) grow();
    size_t i = slot_of(key);
    while (slots_[i].key) i = (i + 1) & (slots_.size() - 1);
    slots_[i] = {key, value};
    ++count_;
  }

 private:
  struct Slot {
    const Node* key;
    uint64_t value;
  };
  size_t slot_of(const Node* key) const {
    return mix(reinterpret_cast<uintptr_t>(key)) & (slots_.size() - 1);
  }
  void grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 16 : old.size() * 2, Slot{nullptr, 0});
    count_ = 0;
    for (const Slot& s : old) {
      if (s.key) put(s.key, s.value);
    }
  }
  std::vector<Slot> slots_;
  size_t count_ = 0;
};

// The structural hash of every pair and every shared leaf under root (an unshared leaf is
// hashed again when needed, which costs no more than looking it up).
NodeMap hash_all(const Node* root) {
  NodeMap hashes;
  struct Frame {
    const Node* node;
    bool children_done;
  };
  std::vector<Frame> frames{{root, false}};
  std::vector<uint64_t> values;
  while (!frames.empty()) {
    Frame f = frames.back();
    frames.pop_back();
    const Node* n = f.node;
    if (f.children_done) {
      uint64_t right = values.back();
      values.pop_back();
      values.back() = pair_hash(values.back(), right);
      hashes.put(n, values.back());
      continue;
    }
    if (node_refs(n) > 1) {
      if (uint64_t* known = hashes.find(n)) {
        values.push_back(*known);
        continue;
      }
    }
    if (node_is_leaf(n)) {
      values.push_back(leaf_hash(n));
      if (node_refs(n) > 1) hashes.put(n, values.back());
    } else {
      frames.push_back({n, true});
      frames.push_back({pair_right(n), false});
      frames.push_back({pair_left(n), false});
    }
  }
  return hashes;
}

uint64_t hash_of(NodeMap& hashes, const Node* n) {
  if (uint64_t* known = hashes.find(n)) return *known;
  return leaf_hash(n);
}

Node* find_member(uint64_t hash, const Node* x) {
  const MemberTable& t = members();
  if (t.slots.empty()) return nullptr;
  size_t mask = t.slots.size() - 1;
  for (size_t i = hash & mask; t.slots[i].node; i = (i + 1) & mask) {
    if (t.slots[i].hash == hash && structural_compare(t.slots[i].node, x) == 0) {
      return t.slots[i].node;
    }
  }
  return nullptr;
}

void add_member(uint64_t hash, Node* n) {
  retain(n);
  adopt_member(hash, n);
}

}  // namespace

int structural_compare(const Node* a, const Node* b) {
  struct Step {
    const Node* a;
    const Node* b;
    bool settle;  // both subterms were found equal: remember the pair
  };
  std::vector<Step> steps{{a, b, false}};
  // Shared pairs already found equal, so that terms with much sharing are compared in time
  // linear in their nodes rather than in their unfolded size.
  std::unordered_set<NodePair, NodePairHash> equal;
  while (!steps.empty()) {
    Step s = steps.back();
    steps.pop_back();
    if (s.settle) {
      equal.insert({s.a, s.b});
      continue;
    }
    if (s.a == s.b) continue;
    bool leaf_a = node_is_leaf(s.a);
    if (leaf_a != node_is_leaf(s.b)) return leaf_a ? -1 : 1;
    if (leaf_a) {
      int c = compare_texts(leaf_text(s.a), leaf_text(s.b));
      if (c) return c;
      continue;
    }
    if (node_refs(s.a) > 1 && node_refs(s.b) > 1) {
      if (equal.count({s.a, s.b})) continue;
      steps.push_back({s.a, s.b, true});
    }
    steps.push_back({pair_right(s.a), pair_right(s.b), false});
    steps.push_back({pair_left(s.a), pair_left(s.b), false});
  }
  return 0;
}

Term intern(const Term& x) {
  NodeMap hashes = hash_all(x.get());
  NodeMap done;  // shared nodes of x already interned in this call
  struct Frame {
    Node* node;
    int stage;
    bool shared;
    Node* left;  // the interned function, once known
  };
  std::vector<Frame> frames{{x.get(), 0, false, nullptr}};
  Node* result = nullptr;
  while (!frames.empty()) {
    Frame& f = frames.back();
    Node* n = f.node;
    if (f.stage == 0) {
      f.shared = node_refs(n) > 1;
      if (f.shared) {
        if (uint64_t* known = done.find(n)) {
          result = reinterpret_cast<Node*>(*known);
          frames.pop_back();
          continue;
        }
      }
      uint64_t hash = hash_of(hashes, n);
      if (Node* m = find_member(hash, n)) {
        result = m;
      } else if (node_is_leaf(n)) {
        add_member(hash, n);
        result = n;
      } else {
        f.stage = 1;
        frames.push_back({pair_left(n), 0, false, nullptr});
        continue;
      }
    } else if (f.stage == 1) {
      f.left = result;
      f.stage = 2;
      frames.push_back({pair_right(n), 0, false, nullptr});
      continue;
    } else {
      uint64_t hash = hash_of(hashes, n);
      if (f.left == pair_left(n) && result == pair_right(n)) {
        add_member(hash, n);
        result = n;
      } else {
        Term fresh = make_pair(Term::share(f.left), Term::share(result));
        result = fresh.take();
        adopt_member(hash, result);
      }
    }
    if (f.shared) done.put(n, reinterpret_cast<uintptr_t>(result));
    frames.pop_back();
  }
  return Term::share(result);
}

void clear_intern_table() {
  remove_interned_if([](const Node*) { return true; });
}

void remove_interned_if(const std::function<bool(const Node*)>& drop) {
  MemberTable& t = members();
  std::vector<MemberTable::Slot> keep;
  std::vector<Node*> dropped;
  for (const MemberTable::Slot& s : t.slots) {
    if (!s.node) continue;
    if (drop(s.node)) {
      dropped.push_back(s.node);
    } else {
      keep.push_back(s);
    }
  }
  rebuild(t, t.slots.size(), keep);
  // Released only now: a member's children may be members that were dropped too.
  for (Node* n : dropped) release_node(n);
}

size_t intern_table_size() { return members().count; }
