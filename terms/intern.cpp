#include "terms/intern.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "terms/term_walks.h"

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
  size_t count = 0;  // placed and waiting
  // Every member's children are members too. Interning enters children before their parent,
  // so this holds until a removal keeps a pair and drops one of its children. While it holds, a
  // member equal to a pair has that pair's interned children themselves, and a pair with a child
  // entered just now can have no equal member, so its lookup is skipped.
  bool complete = true;
  // Members entered but not yet placed. A large table misses the cache at every placement, so
  // a member's slot is fetched ahead when it is entered and written a few members later;
  // lookups search these too.
  static constexpr size_t kWaitingMax = 16;
  Slot waiting[kWaitingMax];
  size_t waiting_count = 0;
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
}

void place_waiting(MemberTable& t) {
  for (size_t k = 0; k < t.waiting_count; ++k) place(t, t.waiting[k].hash, t.waiting[k].node);
  t.waiting_count = 0;
}

// Re-places the given members in a table of `capacity` slots (a power of two).
void rebuild(MemberTable& t, size_t capacity, const std::vector<MemberTable::Slot>& keep) {
  t.slots.assign(capacity, MemberTable::Slot{0, nullptr});
  t.count = 0;
  for (const MemberTable::Slot& s : keep) {
    if (s.node) {
      place(t, s.hash, s.node);
      ++t.count;
    }
  }
}

// The smallest table that holds `count` members at most half full.
size_t capacity_for(size_t count) {
  size_t capacity = 1024;
  while (capacity < 2 * count) capacity *= 2;
  return capacity;
}

// Enters n, taking over one reference the caller owns.
void adopt_member(MemberTable& t, uint64_t hash, Node* n) {
  if (2 * (t.count + 1) > t.slots.size()) {
    place_waiting(t);
    std::vector<MemberTable::Slot> old = std::move(t.slots);
    rebuild(t, old.empty() ? 1024 : old.size() * 2, old);
  }
  __builtin_prefetch(&t.slots[hash & (t.slots.size() - 1)], 1);
  t.waiting[t.waiting_count++] = {hash, n};
  ++t.count;
  if (t.waiting_count == MemberTable::kWaitingMax) place_waiting(t);
}

// The first member with the given hash for which is_equal holds, or null.
template <class IsEqual>
Node* find_member(const MemberTable& t, uint64_t hash, IsEqual&& is_equal) {
  for (size_t k = 0; k < t.waiting_count; ++k) {
    if (t.waiting[k].hash == hash && is_equal(t.waiting[k].node)) return t.waiting[k].node;
  }
  if (t.slots.empty()) return nullptr;
  const size_t mask = t.slots.size() - 1;
  for (size_t i = hash & mask; Node* m = t.slots[i].node; i = (i + 1) & mask) {
    if (t.slots[i].hash == hash && is_equal(m)) return m;
  }
  return nullptr;
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

// An open-addressing map from node to a value, for the per-call bookkeeping of `intern`, which
// may touch millions of nodes.
template <class V>
class NodeMap {
 public:
  V* find(const Node* key) { return const_cast<V*>(std::as_const(*this).find(key)); }
  const V* find(const Node* key) const {
    if (slots_.empty()) return nullptr;
    for (size_t i = slot_of(key);; i = (i + 1) & (slots_.size() - 1)) {
      if (slots_[i].key == key) return &slots_[i].value;
      if (!slots_[i].key) return nullptr;
    }
  }
  // Enters a key that is not in the map.
  void add(const Node* key, V value) {
    if (2 * (count_ + 1) > slots_.size()) grow();
    size_t i = slot_of(key);
    while (slots_[i].key) i = (i + 1) & (slots_.size() - 1);
    slots_[i] = {key, value};
    ++count_;
  }

 private:
  struct Slot {
    const Node* key;
    V value;
  };
  size_t slot_of(const Node* key) const {
    return mix(reinterpret_cast<uintptr_t>(key)) & (slots_.size() - 1);
  }
  void grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 16 : old.size() * 2, Slot{nullptr, V{}});
    count_ = 0;
    for (const Slot& s : old) {
      if (s.key) add(s.key, s.value);
    }
  }
  std::vector<Slot> slots_;
  size_t count_ = 0;
};

// A node of the argument as interned: its member, the member's structural hash, and whether
// the member was entered just now (so that no member has it as a child yet).
struct Interned {
  Node* node;
  uint64_t hash;
  bool fresh;
};

Interned intern_leaf(MemberTable& t, Node* n) {
  const uint64_t hash = leaf_hash(n);
  const std::string_view text = leaf_text(n);
  if (Node* m = find_member(t, hash, [&](const Node* m) {
        return node_is_leaf(m) && compare_texts(leaf_text(m), text) == 0;
      })) {
    return {m, hash, false};
  }
  retain(n);
  adopt_member(t, hash, n);
  return {n, hash, true};
}

// The member structurally equal to the pair n, whose structural hash is given.
Node* find_pair(const MemberTable& t, uint64_t hash, const Node* n) {
  return find_member(t, hash, [&](const Node* m) {
    return node_is_pair(m) && structural_compare(m, n) == 0;
  });
}

// n is a pair of the argument whose children were interned as l and r. An incomplete table was
// searched for n before its children were entered, so n has no equal member there.
Interned intern_pair(MemberTable& t, const Node* n, const Interned& l, const Interned& r) {
  const uint64_t hash = pair_hash(l.hash, r.hash);
  if (t.complete && !l.fresh && !r.fresh) {
    if (Node* m = find_member(t, hash, [&](const Node* m) {
          return node_is_pair(m) && pair_left(m) == l.node && pair_right(m) == r.node;
        })) {
      return {m, hash, false};
    }
  }
  Node* member;
  if (l.node == pair_left(n) && r.node == pair_right(n)) {
    member = const_cast<Node*>(n);
    retain(member);
  } else {
    member = make_pair(Term::share(l.node), Term::share(r.node)).take();
  }
  adopt_member(t, hash, member);
  return {member, hash, true};
}

// The structural hash of every pair under root.
NodeMap<uint64_t> hash_pairs(const Node* root) {
  NodeMap<uint64_t> hashes;
  fold_tree<uint64_t>(
      root,
      [&](const Node* n) -> std::optional<uint64_t> {
        if (node_is_leaf(n)) return leaf_hash(n);
        if (node_refs(n) > 1) {
          if (uint64_t* known = hashes.find(n)) return *known;
        }
        return std::nullopt;
      },
      [&](const Node* n, uint64_t l, uint64_t r) {
        const uint64_t hash = pair_hash(l, r);
        hashes.add(n, hash);
        return hash;
      });
  return hashes;
}

}  // namespace

int structural_compare(const Node* a, const Node* b) {
  if (a == b) return 0;
  if (node_is_leaf(a) && node_is_leaf(b)) return compare_texts(leaf_text(a), leaf_text(b));
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

// Found terms are not taken apart: a pair with an equal member is not descended into. With a
// complete table that holds of itself when children are entered first; otherwise each pair is
// looked up before its children, by structural hashes taken beforehand.
Term intern(const Term& x) {
  MemberTable& t = members();
  const NodeMap<uint64_t> hashes = t.complete ? NodeMap<uint64_t>() : hash_pairs(x.get());
  NodeMap<Interned> done;  // shared nodes of x already interned in this call
  // A member reached again through the map already has a parent, so it is no longer fresh.
  auto remember = [&](const Node* n, const Interned& v) { done.add(n, {v.node, v.hash, false}); };
  const Interned result = fold_tree<Interned>(
      x.get(),
      [&](const Node* n) -> std::optional<Interned> {
        const bool shared = node_refs(n) > 1;
        if (shared) {
          if (Interned* known = done.find(n)) return *known;
        }
        if (node_is_pair(n)) {
          if (t.complete) return std::nullopt;
          const uint64_t hash = *hashes.find(n);
          Node* m = find_pair(t, hash, n);
          if (!m) return std::nullopt;
          Interned v{m, hash, false};
          if (shared) remember(n, v);
          return v;
        }
        Interned v = intern_leaf(t, const_cast<Node*>(n));
        if (shared) remember(n, v);
        return v;
      },
      [&](const Node* n, Interned l, Interned r) {
        const bool shared = node_refs(n) > 1;
        Interned v = intern_pair(t, n, l, r);
        if (shared) remember(n, v);
        return v;
      });
  return Term::share(result.node);
}

void clear_intern_table() {
  remove_interned_if([](const Node*) { return true; });
}

void remove_interned_if(const std::function<bool(const Node*)>& drop) {
  MemberTable& t = members();
  place_waiting(t);
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
  if (keep.empty()) {
    t.complete = true;
  } else if (t.complete && !dropped.empty()) {
    // The children of a kept pair are members, so asking again tells whether they stay.
    for (const MemberTable::Slot& s : keep) {
      if (node_is_pair(s.node) && (drop(pair_left(s.node)) || drop(pair_right(s.node)))) {
        t.complete = false;
        break;
      }
    }
  }
  // The table shrinks to fit what is kept: a large program's linking leaves few members.
  rebuild(t, capacity_for(keep.size()), keep);
  // Released only now: a member's children may be members that were dropped too.
  for (Node* n : dropped) release_node(n);
}

size_t intern_table_size() { return members().count; }
