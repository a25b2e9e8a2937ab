// The builder's plans against the textbook engine: from every step, on many
// stacks the automaton can hold there, running plans (and the plans their
// dispatches lead to) must do what the textbook engine does up to its next
// read: the same reductions in the same order, the same stack, the same
// depth reached, and the same end (read, accept or syntax error).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "grammar.hpp"
#include "tablegen/lalr.hpp"

namespace {

using Kind = lalr::PlanOp::Kind;

struct Trace {
  std::vector<int> reductions;  // rules run, unit rules without an action left out
  std::vector<int> stack;
  std::size_t deepest = 0;
  Kind end = Kind::error;
  bool unchecked_growth = false;  // the stack grew where no limit check stands
  bool operator==(const Trace& other) const {
    return reductions == other.reductions && stack == other.stack && deepest == other.deepest &&
           end == other.end;
  }
};

std::string describe(const lalr::Grammar& g, const Trace& run) {
  std::string text = "reductions";
  for (int rule : run.reductions) text += " " + lalr::item_text(g, {rule, -1});
  text += "; stack";
  for (int state : run.stack) text += " " + std::to_string(state);
  return text + "; deepest " + std::to_string(run.deepest) + "; end " +
         std::to_string(static_cast<int>(run.end));
}

bool counts(const lalr::Grammar& g, int rule) {
  return !lalr::is_unit_pass(g.productions[rule]);
}

// The textbook LR engine, from `stack` with the lookahead in `column`, up to
// its next read (or accept, or error).
Trace textbook(const lalr::Automaton& a, std::vector<int> stack, int column) {
  const lalr::Grammar& g = a.grammar;
  Trace run;
  for (;;) {
    run.deepest = std::max(run.deepest, stack.size());
    const int state = stack.back();
    int rule = a.default_rule[state];
    if (rule == 0) {
      if (column == a.unread_column()) {
        run.end = Kind::read;
        break;
      }
      const int code = column == a.unknown_column() ? 0 : a.action[state][column];
      if (code == lalr::accept_code) {
        run.end = Kind::accept;
        break;
      }
      if (code == 0) {
        run.end = Kind::error;
        break;
      }
      if (code > 0) {
        stack.push_back(code);
        column = a.unread_column();
        continue;
      }
      rule = -code;
    }
    const lalr::Production& p = g.productions[rule];
    if (counts(g, rule)) run.reductions.push_back(rule);
    stack.resize(stack.size() - p.rhs.size());
    stack.push_back(a.go_to[stack.back()][p.lhs - g.terminal_count]);
  }
  run.stack = stack;
  return run;
}

// The engine's way: the step's plan, and the plans its dispatches lead to.
Trace planned(const lalr::Automaton& a, std::vector<int> stack, int column,
              std::vector<bool>& plans_run) {
  const lalr::Grammar& g = a.grammar;
  Trace run;
  run.deepest = stack.size();
  auto push = [&](int state, bool checked) {
    stack.push_back(state);
    if (stack.size() > run.deepest && !checked) run.unchecked_growth = true;
    run.deepest = std::max(run.deepest, stack.size());
  };
  for (int dispatches = 0; dispatches < 100; ++dispatches) {
    const int plan = a.step_plan[stack.back()][column];
    plans_run[plan] = true;
    for (const lalr::PlanOp& op : a.plans[plan]) {
      switch (op.kind) {
        case Kind::shift:
          push(op.state, true);
          column = a.unread_column();
          break;
        case Kind::reduce:
        case Kind::reduce_lookup: {
          const lalr::Production& p = g.productions[op.rule];
          if (counts(g, op.rule)) run.reductions.push_back(op.rule);
          stack.resize(stack.size() - p.rhs.size());
          const int looked_up = a.chained_goto[stack.back()][p.lhs - g.terminal_count][column];
          if (op.kind == Kind::reduce) {
            EXPECT_EQ(op.state, looked_up) << "a planned goto differs from the table's";
          }
          push(looked_up, p.rhs.empty());
          break;
        }
        case Kind::dispatch: break;
        default:
          run.end = op.kind;
          run.stack = stack;
          return run;
      }
    }
  }
  ADD_FAILURE() << "plans dispatch in a circle";
  return run;
}

// Stacks the automaton can hold: paths from the start state, up to
// `most_per_state` for each state on top, shortest first.
std::vector<std::vector<std::vector<int>>> stacks_by_top(const lalr::Automaton& a,
                                                         std::size_t most_per_state) {
  std::vector<std::vector<std::vector<int>>> by_top(a.states.size());
  std::vector<std::vector<int>> frontier{{0}};
  by_top[0].push_back({0});
  for (int length = 1; length <= 8 && !frontier.empty(); ++length) {
    std::vector<std::vector<int>> next;
    for (const std::vector<int>& stack : frontier)
      for (const auto& [symbol, target] : a.states[stack.back()].transitions) {
        if (by_top[target].size() >= most_per_state) continue;
        std::vector<int> longer = stack;
        longer.push_back(target);
        by_top[target].push_back(longer);
        next.push_back(std::move(longer));
      }
    frontier = std::move(next);
  }
  return by_top;
}

lalr::Automaton build_calculator() {
  std::string error;
  lalr::Automaton a = lalr::build(lalr::resolve(grammar, named_tokens, error));
  EXPECT_EQ(error, "");
  return a;
}

TEST(Plans, DoWhatTheTextbookEngineDoes) {
  const lalr::Automaton a = build_calculator();
  std::vector<bool> plans_run(a.plans.size(), false);
  const auto by_top = stacks_by_top(a, 24);
  for (std::size_t s = 0; s < a.states.size(); ++s) {
    ASSERT_FALSE(by_top[s].empty()) << "no stack reaches state " << s;
    for (int column = 0; column <= a.unread_column(); ++column)
      for (const std::vector<int>& stack : by_top[s]) {
        const Trace expected = textbook(a, stack, column);
        const Trace got = planned(a, stack, column, plans_run);
        ASSERT_EQ(got, expected) << "state " << s << ", column " << column << ", plan "
                                 << lalr::plan_text(a.grammar, a.plans[a.step_plan[s][column]])
                                 << "\n  planned:  " << describe(a.grammar, got)
                                 << "\n  textbook: " << describe(a.grammar, expected);
        ASSERT_FALSE(got.unchecked_growth) << "state " << s << ", column " << column;
      }
  }
  for (std::size_t p = 0; p < a.plans.size(); ++p) EXPECT_TRUE(plans_run[p]) << "plan " << p;
}

}  // namespace
