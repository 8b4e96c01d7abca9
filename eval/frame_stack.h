// The reduction engine's frames: where the machine keeps the other half of each application
// it has stepped into, as plain words, since it pushes and pops one at almost every step.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

#include "terms/term.h"

// A frame owns one reference to its term; the low bit says which side the term is on
// (set: the finished focus is applied to the term; clear: the term is applied to it).
struct Frame {
  uintptr_t word;
  bool argument() const { return (word & 1) != 0; }
  Node* term() const { return reinterpret_cast<Node*>(word & ~uintptr_t(1)); }
};

// The frames, the last pushed on top; the stack owns the references its frames hold.
struct FrameStack {
  Frame* base = nullptr;
  Frame* top = nullptr;
  Frame* end = nullptr;
  FrameStack() = default;
  ~FrameStack() {
    clear();
    ::operator delete(base);
  }
  FrameStack(const FrameStack&) = delete;
  FrameStack& operator=(const FrameStack&) = delete;
  bool empty() const { return top == base; }
  size_t size() const { return size_t(top - base); }
  const Frame& back() const { return top[-1]; }
  const Frame& operator[](size_t i) const { return base[i]; }
  void push(bool argument, Term term) { push_owned(argument, term.take()); }
  // Takes over a reference the caller owns.
  void push_owned(bool argument, Node* n) {
    if (top == end) [[unlikely]]
      grow();
    top->word = reinterpret_cast<uintptr_t>(n) | uintptr_t(argument);
    ++top;
  }
  // The top frame's term, whose reference passes to the caller.
  Term pop() {
    --top;
    return Term::adopt(top->term());
  }
  // Puts term in the top frame, on the given side, and hands back the term it held.
  Term exchange_top(bool argument, Term term) {
    Node* old = top[-1].term();
    top[-1].word = reinterpret_cast<uintptr_t>(term.take()) | uintptr_t(argument);
    return Term::adopt(old);
  }
  void truncate(size_t size) {
    while (this->size() > size) pop();
  }
  void clear() { truncate(0); }
  // Twice the room; operator new reports when memory runs out.
  void grow() {
    size_t used = size(), room = std::max<size_t>(256, 2 * size_t(end - base));
    auto* bigger = static_cast<Frame*>(::operator new(room * sizeof(Frame)));
    if (used) std::memcpy(bigger, base, used * sizeof(Frame));
    ::operator delete(base);
    base = bigger;
    top = bigger + used;
    end = bigger + room;
  }
};
