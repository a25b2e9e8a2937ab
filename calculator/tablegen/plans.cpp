// Phase "plans": what the engine does at each step as straight-line code.
//
// From a step (state, lookahead column) the builder runs the textbook engine
// ahead over every stack the automaton can hold there, and keeps the actions
// that are the same on all of them: a shift, a reduction whose goto lands in
// one state whatever lies below, a reduction whose goto must be looked up
// (the state after it is then one of a known set), and what all states of
// that set do next. It stops at a read, at a step that differs between the
// states the stack may show (a dispatch at run time), at accept or at error.
//
// The stacks are over-approximated, which keeps every plan sound: the states
// the plan itself pushed are known, and below them any state with a
// transition into the entry above may stand.
#include <algorithm>
#include <bitset>
#include <map>
#include <optional>

#include "../textbook_step.hpp"
#include "phases.hpp"

namespace lalr {
namespace {

using StateSet = std::bitset<table_encoding::max_states + 1>;

class Planner {
 public:
  Planner(const Automaton& a, std::size_t max_ops)
      : a_(a), max_ops_(max_ops), predecessors_(a.states.size()) {
    for (std::size_t p = 0; p < a.states.size(); ++p)
      for (const auto& [symbol, target] : a.states[p].transitions) predecessors_[target].set(p);
  }

  Plan plan_for(int state, int column) const {
    std::vector<StateSet> stack(1);  // the top at the back; each entry the states it may hold
    stack[0].set(static_cast<std::size_t>(state));
    Plan plan;
    for (;;) {
      if (plan.size() + 1 == max_ops_) return done(plan, {PlanOp::Kind::dispatch});
      const std::optional<PlanOp> step = common_step(stack.back(), column);
      if (!step) return done(plan, {PlanOp::Kind::dispatch});
      switch (step->kind) {
        case PlanOp::Kind::shift:
          plan.push_back(*step);
          stack.emplace_back().set(static_cast<std::size_t>(step->state));
          column = a_.unread_column();
          break;
        case PlanOp::Kind::reduce: {
          const StateSet targets = reduce(stack, step->rule, column);
          if (targets.count() == 1) {
            plan.push_back({PlanOp::Kind::reduce, step->rule, first(targets)});
          } else {
            plan.push_back({PlanOp::Kind::reduce_lookup, step->rule});
          }
          stack.push_back(targets);
          break;
        }
        default: return done(plan, *step);
      }
    }
  }

 private:
  static Plan done(Plan plan, PlanOp last) {
    plan.push_back(last);
    return plan;
  }

  static int first(const StateSet& set) {
    for (std::size_t s = 0; s < set.size(); ++s)
      if (set.test(s)) return static_cast<int>(s);
    return -1;
  }

  // The step every state in `top` takes, if they all take the same one.
  std::optional<PlanOp> common_step(const StateSet& top, int column) const {
    std::optional<PlanOp> common;
    for (std::size_t x = 0; x < a_.states.size(); ++x) {
      if (!top.test(x)) continue;
      const PlanOp step = textbook_op(a_, static_cast<int>(x), column);
      if (common && step != *common) return std::nullopt;
      common = step;
    }
    return common;
  }

  // Pops the rule's right side from the stack and returns the states the
  // goto (with its unit chain for `column`) may land in.
  StateSet reduce(std::vector<StateSet>& stack, int rule, int column) const {
    const Grammar& g = a_.grammar;
    const Production& p = g.productions[rule];
    const std::size_t length = p.rhs.size();
    while (stack.size() < length + 1) {
      StateSet below;
      for (std::size_t s = 0; s < a_.states.size(); ++s)
        if (stack.front().test(s)) below |= predecessors_[s];
      stack.insert(stack.begin(), below);
    }
    stack.resize(stack.size() - length);
    StateSet targets;
    for (std::size_t s = 0; s < a_.states.size(); ++s) {
      if (!stack.back().test(s)) continue;
      const int target = a_.chained_goto[s][p.lhs - g.terminal_count][column];
      if (target >= 0) targets.set(static_cast<std::size_t>(target));
    }
    return targets;
  }

  const Automaton& a_;
  std::size_t max_ops_;
  std::vector<StateSet> predecessors_;
};

}  // namespace

PlanOp textbook_op(const Automaton& a, int state, int column) {
  struct Tables {
    const Automaton& a;
    int default_rule(int s) const { return a.default_rule[s]; }
    int action(int s, int terminal) const { return a.action[s][terminal]; }
    int unknown_column() const { return a.unknown_column(); }
    int unread_column() const { return a.unread_column(); }
  };
  const textbook::Step step = textbook::step(Tables{a}, state, column);
  switch (step.kind) {
    case textbook::Step::Kind::shift: return {PlanOp::Kind::shift, 0, step.target};
    case textbook::Step::Kind::reduce: return {PlanOp::Kind::reduce, step.target};
    case textbook::Step::Kind::read: return {PlanOp::Kind::read};
    case textbook::Step::Kind::accept: return {PlanOp::Kind::accept};
    case textbook::Step::Kind::error: return {PlanOp::Kind::error};
  }
  return {PlanOp::Kind::error};
}

void make_plans(Automaton& a, int max_plan_ops) {
  // A larger automaton cannot be encoded, and encoding_errors says so.
  if (a.states.size() > StateSet().size()) return;
  const Planner planner(a, static_cast<std::size_t>(std::max(max_plan_ops, min_plan_ops)));
  std::map<Plan, int> index;
  const int columns = a.unread_column() + 1;
  a.step_plan.assign(a.states.size(), std::vector<int>(columns, 0));
  for (std::size_t s = 0; s < a.states.size(); ++s) {
    for (int column = 0; column < columns; ++column) {
      Plan plan = planner.plan_for(static_cast<int>(s), column);
      auto [it, added] = index.try_emplace(plan, static_cast<int>(a.plans.size()));
      if (added) a.plans.push_back(std::move(plan));
      a.step_plan[s][column] = it->second;
    }
  }
}

}  // namespace lalr
