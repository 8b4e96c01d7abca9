#include "eval/engine.h"

#include <algorithm>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/builtin_registry.h"
#include "common/tables.h"
#include "diagnostics/diagnostics.h"
#include "diagnostics/memory_budget.h"
#include "eval/analysis.h"
#include "eval/frame_stack.h"
#include "eval/native_rules.h"
#include "eval/substitute.h"

namespace {

uint64_t g_steps = 0;

// The last `count` arguments of the spine whose top is n, first argument first.
inline void spine_arguments(Node* n, size_t count, Node** out) {
  for (size_t i = count; i > 0; --i, n = pair_left(n)) out[i - 1] = pair_right(n);
}

// How a head name is rewritten: a built-in, or the table entry of its definition.
struct Resolution {
  BuiltinFunction builtin = nullptr;
  BuiltinPairFunction pair_function = nullptr;  // the built-in's quick two-argument form
  Term* definition = nullptr;
  // The substitution plan of a definition with parameters; definitions with parameters never
  // change during a run (only parameterless ones take their memo values).
  const PreparedBody* prepared = nullptr;
};

struct NameHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
};

struct Machine {
  FrameStack frames;
  Term focus;
  std::vector<Node*> args;
  std::vector<Node*> apart;  // spine arguments a plan left unbuilt, first argument first
  std::unordered_map<std::string, Resolution, NameHash, std::equal_to<>> names;
  std::deque<PreparedBody> bodies;
  // One-byte names (operators, combinators) come as fresh leaves from built-ins at every
  // step, so they are resolved by their byte rather than by leaf address.
  Resolution byte_names[256];
  bool byte_known[256] = {};

  // Resolutions by head leaf, in front of the map by name. Each slot keeps its leaf alive, so
  // an address never stands for another text.
  struct CachedHead {
    Node* leaf = nullptr;
    Resolution resolution;
  };
  static constexpr size_t kHeadSlots = 256;
  CachedHead heads[kHeadSlots];

  // Plans for the bodies of lambdas and lets, by body node. A body is planned when it comes
  // back a second time: most lambdas are built fresh for a single use. Each slot keeps its
  // body alive, so an address never stands for another term.
  struct CachedBody {
    Node* body = nullptr;
    char letter = 0;
    bool planned = false;
    PreparedBody plan;
  };
  static constexpr size_t kBodySlots = 64;
  CachedBody lambda_bodies[kBodySlots];

  ~Machine() {
    for (CachedHead& h : heads)
      if (h.leaf) release_node(h.leaf);
    for (CachedBody& b : lambda_bodies)
      if (b.body) release_node(b.body);
  }
  // Replaces letter in body by the closed value; `shared` says the body is likely to come back.
  Term substitute_body(Node* body, Node* value, char letter, bool shared);
  void rewrite();
  void rewrite_name(Node* head);
  void apply_definition(const PreparedBody& prepared);
  void enter_memo(Node* head, Term definition);
  // The spine arguments of the focus, first argument first.
  void collect_args() {
    size_t count = 0;
    for (Node* n = focus.get(); node_is_pair(n) && !node_is_data_tagged(n); n = pair_left(n)) {
      ++count;
    }
    args.resize(count);
    spine_arguments(focus.get(), count, args.data());
  }
  const Resolution& resolve(std::string_view name);
  const Resolution& resolve_head(Node* head) {
    const char* s = leaf_chars(head);
    if (s[0] != '\0' && s[1] == '\0') {
      auto c = static_cast<unsigned char>(s[0]);
      if (!byte_known[c]) {
        byte_names[c] = resolve(s);
        byte_known[c] = true;
      }
      return byte_names[c];
    }
    CachedHead& slot = heads[(reinterpret_cast<uintptr_t>(head) >> 4) % kHeadSlots];
    if (slot.leaf != head) {
      slot.resolution = resolve(leaf_chars(head));
      retain(head);
      if (slot.leaf) release_node(slot.leaf);
      slot.leaf = head;
    }
    return slot.resolution;
  }
  // The caller's reference to pair m becomes one reference to each child: a pair only the
  // caller held gives its references to them and its cell straight back.
  static void split_reference(Node* m) {
    if (node_refs(m) == 1) {
      cells::free_pair(m);
    } else {
      retain(pair_left(m));
      retain(pair_right(m));
      release_node(m);
    }
  }
  // Moves into one child of the focus pair and keeps the other in a frame.
  void descend(bool into_function) {
    Node* m = focus.take();
    Node* f = pair_left(m);
    Node* a = pair_right(m);
    split_reference(m);
    if (into_function) {
      frames.push(true, Term::adopt(a));
      focus = Term::adopt(f);
    } else {
      frames.push(false, Term::adopt(f));
      focus = Term::adopt(a);
    }
  }
  bool rewrite_from_frames();
  // The focus becomes head applied to the arguments left apart, which wait in frames as the
  // descent into that application would have left them.
  void place(Term head) {
    size_t count = apart.size();
    for (size_t i = count; i > 0; --i) frames.push(true, Term::adopt(apart[i - 1]));
    apart.clear();
    focus = std::move(head);
    // Each frame is one step of the fuzz build's budget, as each was one step of a descent.
    for (size_t i = 0; i < count; ++i) spend_step();
  }
  bool enter_argument();
  bool rewrite_into_function();
  // Down the spine to the first node that is normal or a redex, each argument into a frame.
  void descend_spine() {
    Node* m = focus.take();
    size_t count = 0;
    do {
      ++count;
      Node* f = pair_left(m);
      Node* a = pair_right(m);
      split_reference(m);
      frames.push_owned(true, a);
      m = f;
    } while (!is_normal(m) && node_arity(m) < 0);
    focus = Term::adopt(m);
    // The fuzz build's budget counts each node of the descent, the first in the loop's step.
    for (size_t i = 1; i < count; ++i) spend_step();
  }
  void normalise_first(Term value, Term waiting) {
    frames.push(false, std::move(waiting));
    focus = std::move(value);
  }
};

const Resolution& Machine::resolve(std::string_view name) {
  auto it = names.find(name);
  if (it != names.end()) return it->second;
  Resolution r;
  if (builtin_placeholders().count(name)) {
    if (const BuiltinEntry* e = find_builtin(name)) {
      r.builtin = e->function;
      if (e->arity == 2) r.pair_function = e->pair_function;
    }
  }
  DefinitionTable& table = definition_table();
  auto d = table.find(name);
  if (d != table.end()) {
    r.definition = &d->second;
    if (leading_abstractions(d->second.get()) > 0) {
      bodies.push_back(prepare_body(d->second));
      r.prepared = &bodies.back();
    }
  }
  return names.emplace(std::string(name), r).first->second;
}

// First bytes of the leaves that rewrite as names: not numbers, reals, texts or memo markers.
struct NameHeads {
  bool member[256];
  constexpr NameHeads() : member() {
    for (unsigned c = 0; c < 256; ++c) {
      member[c] = !(c >= '0' && c <= '9') && c != ' ' && c != '(' && c != ']';
    }
  }
  bool operator[](unsigned char c) const { return member[c]; }
};
constexpr NameHeads kNameHeads;

// A head the engine rewrites by its name: not data, not a number, real, text or memo marker,
// and neither of the binders, which have rules of their own.
inline bool is_plain_name(const Node* head) {
  return !node_is_data_tagged(head) && kNameHeads[node_first_char(head)] &&
         !is_byte_leaf(head, '\\') && !is_byte_leaf(head, '{');
}


// A normal ((\ x) body), the function that the next argument completes into a redex.
inline bool is_abstraction(Node* n) {
  // The header alone rules out most nodes; the shape is read only for pairs of arity 1.
  constexpr uint64_t kTagBits = 0xFFull << 56;
  return (n->header & kTagBits) == (uint64_t(1 + 52) << 56) && shape_of(n) == Shape::abstraction;
}
char binder_letter(Node* abstraction) { return leaf_chars(pair_right(pair_left(abstraction)))[0]; }

// The focus is a normal name, or a name applied to some of its arguments, with frames waiting.
// When the next frames give it all the arguments its arity asks for, and each is normal (or
// the head is lazy), climbing back up would build those applications one at a time only to
// rewrite the last one: the rewrite is done at once from the frames instead, the same
// rewrite the climb would reach.
bool Machine::rewrite_from_frames() {
  Node* m = focus.get();
  if (is_abstraction(m)) {
    if (!is_normal(frames.back().term())) return false;
    Term value = frames.pop();  // held until the body has it
    place(substitute_body(pair_right(m), value.get(), binder_letter(m), node_refs(m) > 1));
    return true;
  }
  if (node_is_data_tagged(m)) return false;
  int k = node_arity(m);  // the arguments still wanted
  size_t size = frames.size();
  if (k < 1 || k > 10 || size < size_t(k)) return false;
  // The focus may hold some arguments already: a normal spine has normal arguments.
  size_t held = 0;
  Node* head = m;
  for (; node_is_pair(head); head = pair_left(head)) {
    if (node_is_data_tagged(head) || ++held + size_t(k) > 10) return false;
  }
  if (!is_plain_name(head)) return false;
  bool lazy = head_is_lazy(head);
  for (size_t i = 1; i <= size_t(k); ++i) {
    const Frame& frame = frames[size - i];
    if (!frame.argument() || !(lazy || is_normal(frame.term()))) return false;
  }
  const Resolution& r = resolve_head(head);
  size_t total = held + size_t(k);
  if (r.builtin) {
    if (r.pair_function && total == 2) {
      Node* x = held == 1 ? pair_right(m) : frames[size - 1].term();
      Node* y = frames[size - size_t(k)].term();
      if (Term quick = r.pair_function(x, y)) {
        frames.truncate(size - size_t(k));
        focus = std::move(quick);
        return true;
      }
    }
    Term applied = std::move(focus);
    for (int i = 0; i < k; ++i) {
      applied = make_pair(std::move(applied), frames.pop());
    }
    focus = r.builtin(std::move(applied));
    return true;
  }
  if (!r.prepared || r.prepared->parameters != total) return false;
  args.resize(total);
  spine_arguments(m, held, args.data());
  for (size_t i = 0; i < size_t(k); ++i) args[held + i] = frames[size - 1 - i].term();
  Term result = run_prepared_apart(*r.prepared, args.data(), apart);
  frames.truncate(size - size_t(k));
  place(std::move(result));
  return true;
}

// The focus is normal and the next frame holds the function it is the argument of: a strict
// name applied to all its arguments but this last one, each normal. Their application would
// be built and rewritten at the next step; the rewrite is done from its parts instead.
bool Machine::rewrite_into_function() {
  Node* g = frames.back().term();
  if ((tag_byte(g) & 0x7F) != 1 + 52) return false;  // analysed, arity 1, no redex, not data
  if (is_abstraction(g)) {
    Term function = frames.pop();  // held until the body is substituted
    place(substitute_body(pair_right(g), focus.get(), binder_letter(g), node_refs(g) > 1));
    return true;
  }
  size_t count = 0;
  Node* head = g;
  for (; node_is_pair(head); head = pair_left(head)) {
    if (node_is_data_tagged(head) || ++count > 9) return false;
  }
  if (!is_plain_name(head) || head_is_lazy(head)) return false;
  const Resolution& r = resolve_head(head);
  if (r.builtin) {
    Term function = frames.pop();
    if (r.pair_function && count == 1) {
      if (Term quick = r.pair_function(pair_right(function.get()), focus.get())) {
        focus = std::move(quick);
        return true;
      }
    }
    focus = r.builtin(make_pair(std::move(function), std::move(focus)));
    return true;
  }
  if (!r.prepared || r.prepared->parameters != count + 1) return false;
  args.resize(count + 1);
  args[count] = focus.get();
  spine_arguments(g, count, args.data());
  Term result = run_prepared_apart(*r.prepared, args.data(), apart);
  Term function = frames.pop();  // released once the arguments are placed
  place(std::move(result));
  return true;
}

// The focus is normal and the next frame holds its argument, not normal yet. Under a strict
// head the application would be built only to be taken apart for that argument at the next
// step: the focus waits in the frame instead, and the argument becomes the focus.
bool Machine::enter_argument() {
  Node* a = frames.back().term();
  if (is_normal(a)) return false;
  if (is_abstraction(focus.get())) {  // a lambda takes its argument normal
    focus = frames.exchange_top(false, std::move(focus));
    return true;
  }
  Node* head = focus.get();
  while (node_is_pair(head) && !node_is_data_tagged(head)) head = pair_left(head);
  if (!is_plain_name(head) || head_is_lazy(head)) return false;
  focus = frames.exchange_top(false, std::move(focus));
  return true;
}

Term abstraction(const Term& binder, const Term& body) {
  return make_pair(make_pair(shared_leaf('\\'), binder), body);
}

void Machine::rewrite() {
  Node* m = focus.get();
  core_assert(free_variables(m) == 0, 7625);
  core_assert(arity_of(m) == 0, 3122);
  Node* head = m;
  while (node_is_pair(head) && !node_is_data_tagged(head)) head = pair_left(head);
  if (is_plain_name(head)) {
    rewrite_name(head);  // built-ins read their arguments themselves
    return;
  }
  collect_args();
  auto arg = [this](size_t i) { return Term::share(args[i]); };

  if (node_is_data_tagged(head)) {
    focus = apply_data(head, arg(0));
    return;
  }
  const char* s = leaf_chars(head);
  unsigned char c = static_cast<unsigned char>(s[0]);
  if (c >= '0' && c <= '9') {
    focus = apply_number(head, arg(0));
  } else if (c == ' ') {
    focus = apply_real(head, arg(0));
  } else if (c == '(') {
    focus = apply_text(head);
  } else if (c == '\\' && s[1] == '\0') {
    Node* lambda = focus.get();  // ((\ x) body), which only the redex holds when built for it
    for (size_t i = args.size(); i > 2; --i) lambda = pair_left(lambda);
    place(substitute_body(args[1], args[2], leaf_chars(args[0])[0], node_refs(lambda) > 1));
  } else if (c == '{' && s[1] == '\0') {
    Term value = arg(1);
    if (is_normal(value)) {
      place(substitute_body(args[2], value.get(), leaf_chars(args[0])[0],
                            node_refs(args[2]) > 1));
    } else {
      normalise_first(std::move(value), abstraction(arg(0), arg(2)));
    }
  } else if (c == ']') {
    std::string name(s + 1);
    DefinitionTable& table = definition_table();
    auto d = table.find(name);
    core_assert(d != table.end(), 3164);
    Term value = arg(0);
    core_assert(is_normal(value), 3165);
    if (node_is_pair(value.get()) && shape_of(value.get()) == Shape::abstraction) {
      value = make_pair(shared_leaf('I'), value);
    }
    d->second = value;
    MemoMap& memo = memo_map();
    auto flag = memo.find(name);
    core_assert(flag != memo.end(), 3170);
    core_assert(flag->second == 0, 3171);
    flag->second = 1;
    focus = std::move(value);
  } else {
    rewrite_name(head);
  }
}

Term Machine::substitute_body(Node* body, Node* value, char letter, bool shared) {
  core_assert(letter >= 'a' && letter <= 'z', 7160);
  Node* values[26];  // read only for the letter
  values[letter - 'a'] = value;
  if (!shared) return substitute_letters(body, 1u << (letter - 'a'), values);
  CachedBody& slot = lambda_bodies[(reinterpret_cast<uintptr_t>(body) >> 4) % kBodySlots];
  if (slot.body == body && slot.letter == letter) {
    if (!slot.planned) {
      slot.plan = prepare_single(body, letter);
      slot.planned = true;
    }
    return run_prepared_apart(slot.plan, &value, apart);
  }
  retain(body);
  if (slot.body) release_node(slot.body);
  slot.body = body;
  slot.letter = letter;
  if (slot.planned) {
    slot.planned = false;
    slot.plan = PreparedBody();
  }
  return substitute_letters(body, 1u << (letter - 'a'), values);
}

void Machine::rewrite_name(Node* head) {
  const Resolution& r = resolve_head(head);
  if (r.builtin) {
    if (r.pair_function) {  // the redex is ((head x) y)
      Node* m = focus.get();
      if (Term quick = r.pair_function(pair_right(pair_left(m)), pair_right(m))) {
        focus = std::move(quick);
        return;
      }
    }
    focus = r.builtin(std::move(focus));
    return;
  }
  core_assert(r.definition != nullptr, 3179);
  if (r.prepared) {
    apply_definition(*r.prepared);
    return;
  }
  const Term& d = *r.definition;
  if (is_normal(d.get())) {
    focus = d;
  } else {
    enter_memo(head, d);
  }
}

// A definition with parameters applied to the focus's spine arguments.
void Machine::apply_definition(const PreparedBody& prepared) {
  collect_args();
  core_assert(prepared.parameters <= args.size(), 3200);
  place(run_prepared_apart(prepared, args.data(), apart));
}

// A parameterless definition not yet normal: its first use computes it under a memo marker,
// a use while that runs is a cycle, and a later use finds the stored value.
void Machine::enter_memo(Node* head, Term d) {
  std::string_view name = leaf_chars(head);
  MemoMap& memo = memo_map();
  auto flag = memo.find(name);
  if (flag == memo.end()) {
    memo.emplace(std::string(name), 0);
    focus = make_pair(make_leaf("]" + std::string(name)), d);
  } else if (flag->second == 0) {
    // The definition needs its own value: the run ends with the cycle marker.
    frames.clear();
    focus = make_leaf(")" + std::string(name));
  } else {
    focus = std::move(d);
  }
}

}  // namespace

uint64_t reduction_steps() { return g_steps; }

namespace {

struct RunAnalysis {
  RunAnalysis() { begin_run_analysis(); }
  ~RunAnalysis() { end_run_analysis(); }
};

}  // namespace

Term reduce(Term t) {
  forget_shared_leaves();
  RunAnalysis run_analysis;
  Machine mc;
  mc.focus = std::move(t);
  for (;;) {
    ++g_steps;
    spend_step();  // the fuzz build's step budget; nothing elsewhere
    Node* m = mc.focus.get();
    if (is_normal(m)) {
      if (mc.frames.empty()) return std::move(mc.focus);
      bool argument = mc.frames.back().argument();
      if (argument ? mc.rewrite_from_frames() || mc.enter_argument()
                   : mc.rewrite_into_function()) {
        continue;
      }
      Term other = mc.frames.pop();
      mc.focus = argument ? make_pair(std::move(mc.focus), std::move(other))
                          : make_pair(std::move(other), std::move(mc.focus));
      // Both children are analysed but for a let's waiting body, which the next step analyses.
      Node* p = mc.focus.get();
      if (node_analysed(pair_left(p)) && node_analysed(pair_right(p))) analyse_pair(p);
      continue;
    }
    int n = node_arity(m);
    if (n < 0) {
      mc.descend_spine();
      continue;
    }
    if (n > 0) {
      if (head_is_lazy(m)) {
        size_t count = 0, size = mc.frames.size();
        while (count < size_t(n) && count < size && mc.frames[size - 1 - count].argument()) {
          ++count;
        }
        if (count == size_t(n)) {
          Term applied = std::move(mc.focus);
          for (size_t i = 0; i < count; ++i) {
            applied = make_pair(std::move(applied), mc.frames.pop());
          }
          mc.focus = std::move(applied);
          mc.rewrite();
          continue;
        }
      }
      Node* f = pair_left(m);
      mc.descend(!is_normal(f));
      continue;
    }
    if (!node_inner(m) || head_is_lazy(m)) {
      // A name of its own (an operator standing for its built-in, say) needs none of the
      // general rewrite's search for the head.
      if (node_is_leaf(m) && is_plain_name(m)) {
        mc.rewrite_name(m);
      } else {
        mc.rewrite();
      }
      continue;
    }
    Node* f = pair_left(m);
    Node* a = pair_right(m);
    if (shape_of(m) == Shape::let) {
      Node* value = pair_right(f);
      if (is_normal(value)) {
        mc.rewrite();
      } else {
        Term waiting = abstraction(Term::share(pair_right(pair_left(f))), Term::share(a));
        mc.normalise_first(Term::share(value), std::move(waiting));
      }
      continue;
    }
    mc.descend(!node_is_data_tagged(f) && node_inner(f));
  }
}
