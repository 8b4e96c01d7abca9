#include "terms/cells.h"

#include <cstdlib>
#include <new>

#include "terms/term.h"

namespace cells {

namespace {

// A failed allocation follows operator new's protocol, so the driver's handler reports it.
template <typename Allocate>
void* allocate_or_handle(Allocate allocate) {
  for (;;) {
    if (void* p = allocate()) return p;
    std::new_handler handler = std::get_new_handler();
    if (!handler) throw std::bad_alloc();
    handler();
  }
}

void* malloc_or_handler(size_t bytes) {
  return allocate_or_handle([&] { return std::malloc(bytes); });
}

}  // namespace

#ifndef TARN_PLAIN_CELLS

Node* free_pairs = nullptr;

Pair* refill_pairs() {
  // Just under 1 MB with the allocator's own header, so that the slab fills whole pages.
  constexpr size_t kSlab = ((size_t(1) << 20) - 64) / sizeof(Pair);
  auto* slab = static_cast<Pair*>(::operator new(kSlab * sizeof(Pair)));
  for (size_t i = 1; i < kSlab; ++i) free_pair(reinterpret_cast<Node*>(&slab[i]));
  return &slab[0];
}

namespace {

constexpr size_t kChunkBits = 20;
constexpr size_t kChunk = size_t(1) << kChunkBits;
constexpr size_t kRegionBits = 32;  // one class table per 4 GB of addresses
constexpr size_t kClassesPerRegion = size_t(1) << (kRegionBits - kChunkBits);
constexpr size_t kRegions = size_t(1) << (48 - kRegionBits);

// The pool class (1: 16 bytes, 2: 32 bytes) of every chunk, 0 for memory of no pool.
uint8_t* g_chunk_class[kRegions];

uint8_t chunk_class(const void* p) {
  auto a = reinterpret_cast<uintptr_t>(p);
  const uint8_t* region = g_chunk_class[(a >> kRegionBits) % kRegions];
  return region ? region[(a >> kChunkBits) % kClassesPerRegion] : 0;
}

void refill_leaves(int cls) {
  void* chunk = allocate_or_handle([] { return std::aligned_alloc(kChunk, kChunk); });
  auto a = reinterpret_cast<uintptr_t>(chunk);
  uint8_t*& region = g_chunk_class[(a >> kRegionBits) % kRegions];
  if (!region) {
    region = static_cast<uint8_t*>(
        allocate_or_handle([] { return std::calloc(kClassesPerRegion, 1); }));
  }
  region[(a >> kChunkBits) % kClassesPerRegion] = uint8_t(cls);
  size_t size = size_t(8) << cls;
  auto* bytes = static_cast<char*>(chunk);
  for (size_t off = kChunk; off >= size; off -= size) {
    auto* n = reinterpret_cast<Node*>(bytes + off - size);
    *reinterpret_cast<Node**>(n) = free_leaves[cls];
    free_leaves[cls] = n;
  }
}

}  // namespace

Node* free_leaves[3];

Node* refill_leaf_pool(int pool) {
  refill_leaves(pool);
  return allocate_pooled_leaf(pool);
}

Node* allocate_leaf(size_t bytes) {
  int cls = bytes <= 16 ? 1 : bytes <= 32 ? 2 : 0;
  if (cls == 0) {
    return static_cast<Node*>(malloc_or_handler(bytes));
  }
  return allocate_pooled_leaf(cls);
}

void free_leaf(Node* leaf) {
  uint8_t cls = chunk_class(leaf);
  if (cls == 0) {
    std::free(leaf);
    return;
  }
  *reinterpret_cast<Node**>(leaf) = free_leaves[cls];
  free_leaves[cls] = leaf;
}

#else

Pair* allocate_pair() { return static_cast<Pair*>(::operator new(sizeof(Pair))); }
void free_pair(Node* cell) { ::operator delete(static_cast<void*>(cell), sizeof(Pair)); }

Node* allocate_leaf(size_t bytes) {
  return static_cast<Node*>(malloc_or_handler(bytes));
}
void free_leaf(Node* leaf) { std::free(leaf); }

#endif

}  // namespace cells
