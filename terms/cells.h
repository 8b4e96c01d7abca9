// Where nodes live.
//
// Pairs (24 bytes) come from a free list carved from large slabs; the reducer builds and drops
// millions of them. Leaves of up to 16 and up to 32 bytes (header, text, NUL) come from two
// pools of the same kind, kept in aligned 1 MB chunks, so that a freed leaf's pool is known
// from its address alone (its text may have been changed in place, and may hold NUL bytes).
// Longer leaves use malloc. A freed cell keeps the list link in its header word.
//
// With TARN_PLAIN_CELLS (the sanitizer build) every node is an allocation of its own, so the
// sanitizer sees each use after free.
#pragma once

#include <cstddef>
#include <cstdint>

struct Node;
struct Pair;

namespace cells {

#ifndef TARN_PLAIN_CELLS
extern Node* free_pairs;
Pair* refill_pairs();  // carves a slab and returns one cell from it

inline Pair* allocate_pair() {
  Node* cell = free_pairs;
  if (!cell) [[unlikely]]
    return refill_pairs();
  free_pairs = *reinterpret_cast<Node**>(cell);
  return reinterpret_cast<Pair*>(cell);
}
inline void free_pair(Node* cell) {
  *reinterpret_cast<Node**>(cell) = free_pairs;
  free_pairs = cell;
}
#else
Pair* allocate_pair();
void free_pair(Node* cell);
#endif

// A block of `bytes` bytes for a leaf, and its return.
Node* allocate_leaf(size_t bytes);
void free_leaf(Node* leaf);

// A block from pool 1 (16 bytes) or 2 (32 bytes): the allocation of short leaves made at
// almost every step, without the choice of pool.
#ifndef TARN_PLAIN_CELLS
extern Node* free_leaves[3];
Node* refill_leaf_pool(int pool);  // carves a chunk and returns one block from it
inline Node* allocate_pooled_leaf(int pool) {
  Node* n = free_leaves[pool];
  if (!n) [[unlikely]]
    return refill_leaf_pool(pool);
  free_leaves[pool] = *reinterpret_cast<Node**>(n);
  return n;
}
#else
inline Node* allocate_pooled_leaf(int pool) { return allocate_leaf(size_t(8) << pool); }
#endif

}  // namespace cells
