#include "eval/substitute.h"

#include <algorithm>

#include "diagnostics/diagnostics.h"
#include "eval/analysis.h"
#include "eval/engine.h"

namespace {

constexpr uintptr_t kPairStep = 2;

// The letters still to replace inside each child of pair b. The values are closed, so a
// binder only removes its own letter for its scope: an abstraction's head and a let's binder
// leaf are never replaced, and a let's body is left alone for the letter it re-binds.
void child_letters(Node* b, uint32_t letters, uint32_t* in_f, uint32_t* in_a) {
  *in_f = letters;
  *in_a = letters;
  Node* f = pair_left(b);
  if (!node_is_pair(f)) return;
  Node* ff = pair_left(f);
  if (is_byte_leaf(ff, '\\')) {  // (\ y) e
    *in_f = 0;
    *in_a = letters & ~cached_free_variables(f);
  } else if (is_byte_leaf(ff, '{')) {  // ({ y) v, the head of a let
    *in_f = 0;
  } else if (node_is_pair(ff) && is_byte_leaf(pair_left(ff), '{')) {  // (({ y) v) e
    *in_a = letters & ~cached_free_variables(pair_right(ff));
  }
}

// The engine analyses every substitution result next; building it analysed spares a walk.
Term analysed_pair(Term f, Term a) {
  Term p = make_pair(std::move(f), std::move(a));
  analyse_pair(p.get());
  return p;
}

// Replaces, in one pass, every free occurrence of a letter in `letters` by values[letter].
// The values are closed, so this equals substituting them one letter at a time.
Term substitute_in(Node* b, uint32_t letters, Node* const* values) {
  uint32_t hit = cached_free_variables(b) & letters;
  if (hit == 0) return Term::share(b);
  if (node_is_leaf(b)) return Term::share(values[__builtin_ctz(hit)]);  // the variable itself
  uint32_t in_f, in_a;
  child_letters(b, letters, &in_f, &in_a);
  return analysed_pair(substitute_in(pair_left(b), in_f, values),
                       substitute_in(pair_right(b), in_a, values));
}

}  // namespace

Term substitute_letters(Node* body, uint32_t letters, Node* const values[26]) {
  analyse(body);
  for (uint32_t rest = letters; rest; rest &= rest - 1) analyse(values[__builtin_ctz(rest)]);
  return substitute_in(body, letters, values);
}

Term substitute(const Term& body, const Term& value, char letter) {
  core_assert(letter >= 'a' && letter <= 'z', 7160);
  Node* values[26] = {};
  values[letter - 'a'] = value.get();
  return substitute_letters(body.get(), 1u << (letter - 'a'), values);
}

namespace {

// The plan of body for the parameter letters, argument_of giving each one's argument.
void plan_body(PreparedBody& p, Node* body, uint32_t letters, const size_t* argument_of) {
  analyse(body);
  p.body = Term::share(body);
  // The same walk as substitute_in, recorded instead of run; explicit, as bodies may be deep.
  struct Task {
    Node* node;
    uint32_t letters;
    bool combine;
  };
  std::vector<Task> tasks{{body, letters, false}};
  size_t held = 0;
  while (!tasks.empty()) {
    Task t = tasks.back();
    tasks.pop_back();
    if (t.combine) {
      p.plan.push_back(kPairStep);
      --held;
      continue;
    }
    uint32_t hit = cached_free_variables(t.node) & t.letters;
    if (hit == 0) {
      p.plan.push_back(reinterpret_cast<uintptr_t>(t.node));
    } else if (node_is_leaf(t.node)) {
      p.plan.push_back((uintptr_t(argument_of[__builtin_ctz(hit)]) << 2) | 1);
    } else {
      uint32_t in_f, in_a;
      child_letters(t.node, t.letters, &in_f, &in_a);
      tasks.push_back({t.node, 0, true});
      tasks.push_back({pair_right(t.node), in_a, false});
      tasks.push_back({pair_left(t.node), in_f, false});
      continue;
    }
    p.depth = std::max(p.depth, ++held);
  }
}

}  // namespace

namespace {

// A normal argument, closed and not data, adds nothing to the analysis of the pair it is the
// argument of. So the analysis of every pair whose function side holds no argument is known
// before the arguments are: the plan is run once over a stand-in argument to read it off.
void plan_headers(PreparedBody& p) {
  enum class Kind { known, argument, unknown };
  struct Result {
    Term term;
    Kind kind;
    long step;  // the pair step that made it, or -1
  };
  Term stand_in = make_leaf("?");
  set_arity(stand_in.get(), 2);  // normal, closed, no data: as an argument it adds no bits
  set_inner(stand_in.get(), false);
  std::vector<Result> results;
  std::vector<long> function_step;  // per pair step: the pair step of its function side
  for (uintptr_t step : p.plan) {
    if (step != kPairStep) {
      bool argument = (step & 1) != 0;
      results.push_back({argument ? stand_in : Term::share(reinterpret_cast<Node*>(step)),
                         argument ? Kind::argument : Kind::known, -1});
      continue;
    }
    Result a = std::move(results.back());
    results.pop_back();
    Result f = std::move(results.back());
    results.pop_back();
    long index = long(p.headers.size());
    function_step.push_back(f.step);
    // A data argument after a data function makes a data pair; any other argument adds nothing.
    bool known = f.kind == Kind::known && a.kind != Kind::unknown &&
                 !(a.kind == Kind::argument && node_is_data_tagged(f.term.get()));
    if (!known) {
      p.headers.push_back(0);
      results.push_back({stand_in, Kind::unknown, index});
      continue;
    }
    Term pair = make_pair(std::move(f.term), std::move(a.term));
    analyse_pair(pair.get());
    p.headers.push_back(pair.get()->header & ~kRefsMask);
    results.push_back({std::move(pair), Kind::known, index});
  }
  // The engine descends through an over-applied application straight away.
  for (long i = results.empty() ? -1 : results.back().step; i >= 0; i = function_step[size_t(i)]) {
    uint64_t h = p.headers[size_t(i)];
    bool data = ((h >> 56) & 0x7F) == 0x40;
    if (h == 0 || data || int((h >> 56) & 0x3F) - 52 >= 0) break;
    p.headers[size_t(i)] |= 1;
    ++p.spine_apart;
  }
  p.depth += p.spine_apart;
}

}  // namespace

PreparedBody prepare_body(const Term& definition) {
  PreparedBody p;
  Node* body = definition.get();
  size_t argument_of[26] = {};
  uint32_t letters = 0;
  while (node_is_pair(body) && shape_of(body) == Shape::abstraction) {
    char letter = leaf_chars(pair_right(pair_left(body)))[0];
    core_assert(letter >= 'a' && letter <= 'z', 7160);
    // Of two equal letters the later parameter is the one the body sees.
    argument_of[letter - 'a'] = p.parameters++;
    letters |= 1u << (letter - 'a');
    body = pair_right(body);
  }
  plan_body(p, body, letters, argument_of);
  plan_headers(p);
  return p;
}

PreparedBody prepare_single(Node* body, char letter) {
  core_assert(letter >= 'a' && letter <= 'z', 7160);
  PreparedBody p;
  p.parameters = 1;
  size_t argument_of[26] = {};
  plan_body(p, body, 1u << (letter - 'a'), argument_of);
  plan_headers(p);
  return p;
}

namespace {

// The node a share or argument step puts on the stack.
inline Node* step_node(uintptr_t step, Node* const* arguments) {
  return (step & 1) ? arguments[step >> 2] : reinterpret_cast<Node*>(step);
}

// Runs the plan; with `apart`, leaves the marked spine applications unbuilt when it can.
Term run_plan(const PreparedBody& prepared, Node* const* arguments, std::vector<Node*>* apart) {
  if (prepared.plan.size() == 1) {  // one argument or one shared term, as K, H and I give
    return Term::share(step_node(prepared.plan[0], arguments));
  }
  // The engine never re-enters itself, so one scratch stack serves every run.
  static std::vector<Node*> results;
  if (results.size() < prepared.depth) results.resize(prepared.depth);
  Node** top = results.data();
  bool all_normal = true;
  for (size_t i = 0; i < prepared.parameters; ++i) all_normal &= is_normal(arguments[i]);
  bool leave_apart = all_normal && apart && prepared.spine_apart > 0;
  const uint64_t* header = prepared.headers.data();
  for (uintptr_t step : prepared.plan) {
    if (step == kPairStep) {
      uint64_t known = all_normal ? *header : 0;
      ++header;
      if (leave_apart && (known & 1)) continue;  // both halves stay on the stack
      Pair* p = cells::allocate_pair();
      p->left = top[-2];
      p->right = top[-1];
      Node* n = reinterpret_cast<Node*>(p);
      p->header = 1 | (known & ~uint64_t(1));
      if (!known) analyse_pair(n);
      top[-2] = n;
      --top;
      continue;
    }
    Node* n = step_node(step, arguments);
    retain(n);
    *top++ = n;
  }
  if (leave_apart) apart->insert(apart->end(), results.data() + 1, top);
  return Term::adopt(results[0]);
}

}  // namespace

Term run_prepared(const PreparedBody& prepared, Node* const* arguments) {
  return run_plan(prepared, arguments, nullptr);
}

Term run_prepared_apart(const PreparedBody& prepared, Node* const* arguments,
                        std::vector<Node*>& apart) {
  return run_plan(prepared, arguments, &apart);
}
