// The builder's plans against the textbook engine, with the plan bound this
// build uses: from every stack the automaton can hold up to a depth, and
// from random deep ones, with every lookahead column, running plans (and the
// plans their dispatches lead to) must do what the textbook engine does up
// to its next read: the same reductions in the same order, the same stack,
// the same depth reached, and the same end (read, accept or syntax error).
// Beside the proof, the tables the engine is compiled from (parse_tables.inc)
// are held equal to the automaton proved.
//
//   PLAN_PROOF_DEPTH=10 build/release/bin/plans_test   checks deeper (default 9)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "grammar.hpp"
#include "parse_tables.inc"
#include "tablegen/lalr.hpp"

namespace {

using Kind = lalr::PlanOp::Kind;

struct Trace {
  std::vector<int> reductions;  // rules run, unit rules without an action left out
  std::vector<int> stack;
  std::size_t deepest = 0;
  Kind end = Kind::error;
  bool operator==(const Trace&) const = default;
};

std::string describe(const lalr::Grammar& g, const Trace& run) {
  std::ostringstream text;
  text << "reductions";
  for (int rule : run.reductions) text << " [" << lalr::item_text(g, {rule, -1}) << "]";
  text << "; stack";
  for (int state : run.stack) text << " " << state;
  text << "; deepest " << run.deepest << "; end " << static_cast<int>(run.end);
  return text.str();
}

bool counts(const lalr::Grammar& g, int rule) {
  return !lalr::is_unit_pass(g.productions[rule]);
}

// The textbook engine's steps (textbook_step.hpp), from `stack` with the
// lookahead in `column`, up to its next read (or accept, or error).
Trace textbook(const lalr::Automaton& a, std::vector<int> stack, int column) {
  const lalr::Grammar& g = a.grammar;
  Trace run;
  for (;;) {
    run.deepest = std::max(run.deepest, stack.size());
    const lalr::PlanOp step = lalr::textbook_op(a, stack.back(), column);
    if (step.kind == Kind::shift) {
      stack.push_back(step.state);
      column = a.unread_column();
    } else if (step.kind == Kind::reduce) {
      const lalr::Production& p = g.productions[step.rule];
      if (counts(g, step.rule)) run.reductions.push_back(step.rule);
      stack.resize(stack.size() - p.rhs.size());
      stack.push_back(a.go_to[stack.back()][p.lhs - g.terminal_count]);
    } else {
      run.end = step.kind;
      run.stack = stack;
      return run;
    }
  }
}

// What runs of plans have reached: each plan, and each way a plan ends.
struct Coverage {
  explicit Coverage(const lalr::Automaton& a) : plans(a.plans.size(), false) {}
  std::vector<bool> plans;
  // By the kind of a plan's last operation, whether a lookup comes right
  // before it, and whether a lookahead is held there.
  bool endings[static_cast<int>(Kind::error) + 1][2][2] = {};
};

// The engine's way: the step's plan, and the plans its dispatches lead to.
Trace planned(const lalr::Automaton& a, std::vector<int> stack, int column, Coverage& ran) {
  const lalr::Grammar& g = a.grammar;
  Trace run;
  run.deepest = stack.size();
  auto push = [&](int state) {
    stack.push_back(state);
    run.deepest = std::max(run.deepest, stack.size());
  };
  for (int dispatches = 0; dispatches < 100; ++dispatches) {
    const int plan = a.step_plan[stack.back()][column];
    ran.plans[plan] = true;
    const lalr::PlanOp* before = nullptr;
    for (const lalr::PlanOp& op : a.plans[plan]) {
      if (op.kind != Kind::shift && op.kind != Kind::reduce && op.kind != Kind::reduce_lookup)
        ran.endings[static_cast<int>(op.kind)]
                   [before != nullptr && before->kind == Kind::reduce_lookup]
                   [column != a.unread_column()] = true;
      before = &op;
      switch (op.kind) {
        case Kind::shift:
          push(op.state);
          column = a.unread_column();
          break;
        case Kind::reduce:
        case Kind::reduce_lookup: {
          const lalr::Production& p = g.productions[op.rule];
          if (counts(g, op.rule)) run.reductions.push_back(op.rule);
          stack.resize(stack.size() - p.rhs.size());
          const int looked_up = a.chained_goto[stack.back()][p.lhs - g.terminal_count][column];
          if (op.kind == Kind::reduce && op.state != looked_up) {
            ADD_FAILURE() << "a planned goto differs from the table's";
            return run;
          }
          push(looked_up);
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

class PlanProof {
 public:
  explicit PlanProof(const lalr::Automaton& a) : a_(a), ran_(a) {}

  // Every lookahead column on `stack`; false at the first difference.
  bool check(const std::vector<int>& stack) {
    ++stacks_;
    for (int column = 0; column <= a_.unread_column(); ++column) {
      const Trace expected = textbook(a_, stack, column);
      const Trace got = planned(a_, stack, column, ran_);
      if (got == expected) continue;
      std::ostringstream path;
      for (int state : stack) path << " " << state;
      ADD_FAILURE() << "stack" << path.str() << ", lookahead "
                    << lalr::column_name(a_.grammar, column) << ", plan "
                    << lalr::plan_text(a_.grammar, a_.plans[a_.step_plan[stack.back()][column]])
                    << "\n  planned:  " << describe(a_.grammar, got)
                    << "\n  textbook: " << describe(a_.grammar, expected);
      return false;
    }
    return true;
  }

  // Every path from the start state of at most `depth` entries.
  bool every_stack_up_to(std::vector<int>& stack, std::size_t depth) {
    if (!check(stack)) return false;
    if (stack.size() == depth) return true;
    for (const auto& [symbol, target] : a_.states[stack.back()].transitions) {
      stack.push_back(target);
      const bool same = every_stack_up_to(stack, depth);
      stack.pop_back();
      if (!same) return false;
    }
    return true;
  }

  long stacks() const { return stacks_; }
  const std::vector<bool>& plans_run() const { return ran_.plans; }

 private:
  const lalr::Automaton& a_;
  Coverage ran_;
  long stacks_ = 0;
};

// The automaton and plans this build's engine runs.
lalr::Automaton build_calculator() {
  std::string error;
  lalr::Automaton a = lalr::build(lalr::resolve(grammar, named_tokens, error), CALC_MAX_PLAN_OPS);
  EXPECT_EQ(error, "");
  return a;
}

std::size_t proof_depth() {
  const char* text = std::getenv("PLAN_PROOF_DEPTH");
  return text != nullptr ? std::strtoul(text, nullptr, 10) : 9;
}

TEST(Plans, DoWhatTheTextbookEngineDoesOnEveryStack) {
  const lalr::Automaton a = build_calculator();
  PlanProof proof(a);
  std::vector<int> stack{0};
  ASSERT_TRUE(proof.every_stack_up_to(stack, proof_depth()));
  for (std::size_t p = 0; p < a.plans.size(); ++p)
    EXPECT_TRUE(proof.plans_run()[p]) << "plan " << p;
  std::cout << proof.stacks() << " stacks of up to " << proof_depth() << " entries, "
            << a.unread_column() + 1 << " lookahead columns each\n";

  // Random paths of up to 80 entries reach what the shallow stacks cannot.
  std::mt19937 random(20261209);
  for (int walk = 0; walk < 4000; ++walk) {
    stack.assign(1, 0);
    const std::size_t length = 2 + random() % 79;
    while (stack.size() < length) {
      const auto& moves = a.states[stack.back()].transitions;
      if (moves.empty()) break;
      auto move = moves.begin();
      std::advance(move, static_cast<long>(random() % moves.size()));
      stack.push_back(move->second);
      if (random() % 4 == 0) {
        ASSERT_TRUE(proof.check(stack));
      }
    }
    ASSERT_TRUE(proof.check(stack));
  }
}

// A table as the numbers in its cells, row after row.
template <class Cell>
void flatten(std::vector<int>& out, const Cell& cell) {
  out.push_back(static_cast<int>(cell));
}
template <class Cell, std::size_t n>
void flatten(std::vector<int>& out, const Cell (&row)[n]) {
  for (const Cell& cell : row) flatten(out, cell);
}
template <class Cell>
void flatten(std::vector<int>& out, const std::vector<Cell>& row) {
  for (const Cell& cell : row) flatten(out, cell);
}
template <class Table>
std::vector<int> numbers(const Table& table) {
  std::vector<int> out;
  flatten(out, table);
  return out;
}

// The states of a table of gotos as parse_tables.inc writes them: 255 for none.
std::vector<int> none_as_255(std::vector<int> states) {
  std::replace(states.begin(), states.end(), -1, 255);
  return states;
}

// How many cells of a table differ, and the first that does.
void expect_shipped(const char* table, const std::vector<int>& shipped,
                    const std::vector<int>& proved) {
  ASSERT_EQ(shipped.size(), proved.size()) << table;
  std::size_t differences = 0, first = 0;
  for (std::size_t i = shipped.size(); i-- > 0;)
    if (shipped[i] != proved[i]) {
      ++differences;
      first = i;
    }
  EXPECT_EQ(differences, 0U) << table << ": cell " << first << " (of " << shipped.size()
                             << ", row after row) is " << shipped[first] << ", proved "
                             << proved[first];
}

// Every plan's operations as the engine expands them: PARSE_TABLES_FOR_EACH_PLAN
// with each operation's macro made into data.
struct ShippedOp {
  Kind kind;
  int rule = 0;
  int state = 0;
  bool after_lookup = false;
};
#define PARSE_PLAN_SHIFT(to) {Kind::shift, 0, (to)},
#define PARSE_PLAN_REDUCE(r, to) {Kind::reduce, (r), (to)},
#define PARSE_PLAN_REDUCE_LOOKUP(r) {Kind::reduce_lookup, (r)},
#define PARSE_PLAN_READ {Kind::read},
#define PARSE_PLAN_DISPATCH {Kind::dispatch},
#define PARSE_PLAN_DISPATCH_AFTER_LOOKUP {Kind::dispatch, 0, 0, true},
#define PARSE_PLAN_ACCEPT {Kind::accept},
#define PARSE_PLAN_ERROR {Kind::error},
struct ShippedPlan {
  int number;
  std::vector<ShippedOp> operations;
};
#define SHIPPED_PLAN(p, operations) {(p), {operations}},
const std::vector<ShippedPlan> shipped_plans = {PARSE_TABLES_FOR_EACH_PLAN(SHIPPED_PLAN)};

// The engine runs parse_tables.inc, not the automaton in this test: the two
// must be the same, table by table and plan by plan.
TEST(Plans, ShippedTablesAreTheAutomatonProved) {
  namespace pt = parse_tables;
  const lalr::Automaton a = build_calculator();
  const lalr::Grammar& g = a.grammar;
  EXPECT_EQ(pt::unknown_column, a.unknown_column());
  EXPECT_EQ(pt::unread_column, a.unread_column());
  std::vector<int> token_class(std::size(pt::token_class), a.unknown_column());
  for (int t = 0; t < g.terminal_count; ++t) token_class[g.token_codes[t]] = t;
  expect_shipped("token_class", numbers(pt::token_class), token_class);
  expect_shipped("step_plan", numbers(pt::step_plan), numbers(a.step_plan));
  expect_shipped("action", numbers(pt::action), numbers(a.action));
  expect_shipped("default_rule", numbers(pt::default_rule), a.default_rule);
  expect_shipped("go_to", numbers(pt::go_to), none_as_255(numbers(a.go_to)));
  // chained_goto holds each nonterminal's rows from its first state with a
  // goto on: unpacked to [state][nonterminal][column], 255 where none.
  const std::size_t nonterminals = g.nonterminal_count(), columns = a.unread_column() + 1;
  std::vector<int> chained(a.states.size() * nonterminals * columns, 255);
  for (std::size_t n = 0; n < nonterminals; ++n)
    for (int row = pt::goto_first_row[n]; row < pt::goto_first_row[n + 1]; ++row) {
      const std::size_t s = pt::goto_first_state[n] + row - pt::goto_first_row[n];
      ASSERT_LT(s, a.states.size()) << "the rows of nonterminal " << n;
      std::copy(std::begin(pt::chained_goto[row]), std::end(pt::chained_goto[row]),
                chained.begin() + static_cast<long>((s * nonterminals + n) * columns));
    }
  expect_shipped("chained_goto", chained, none_as_255(numbers(a.chained_goto)));
  std::vector<int> lhs, length, rule_action;
  for (const lalr::Production& p : g.productions) {
    lhs.push_back(p.lhs - g.terminal_count);
    length.push_back(static_cast<int>(p.rhs.size()));
    rule_action.push_back(static_cast<int>(p.action));
  }
  expect_shipped("rule_lhs", numbers(pt::rule_lhs), lhs);
  expect_shipped("rule_length", numbers(pt::rule_length), length);
  expect_shipped("rule_action", numbers(pt::rule_action), rule_action);

  ASSERT_EQ(shipped_plans.size(), a.plans.size());
  for (std::size_t p = 0; p < a.plans.size(); ++p) {
    const lalr::Plan& proved = a.plans[p];
    const std::vector<ShippedOp>& shipped = shipped_plans[p].operations;
    bool same = shipped_plans[p].number == static_cast<int>(p) && shipped.size() == proved.size();
    for (std::size_t i = 0; same && i < proved.size(); ++i) {
      const ShippedOp& op = shipped[i];
      same = lalr::PlanOp{op.kind, op.rule, op.state} == proved[i] &&
             op.after_lookup ==
                 (op.kind == Kind::dispatch && i > 0 && proved[i - 1].kind == Kind::reduce_lookup);
    }
    EXPECT_TRUE(same) << "plan " << p << " differs from " << lalr::plan_text(g, proved);
  }
}

// The plans as the engine runs them: from the start, and after each read
// with every token that may come there, on stacks of up to `depth` entries.
Coverage run_every_input(const lalr::Automaton& a, std::size_t depth) {
  Coverage ran(a);
  std::set<std::vector<int>> reading{planned(a, {0}, a.unread_column(), ran).stack};
  std::vector<std::vector<int>> work(reading.begin(), reading.end());
  while (!work.empty()) {
    const std::vector<int> stack = std::move(work.back());
    work.pop_back();
    for (int column = 0; column < a.unread_column(); ++column) {
      const Trace run = planned(a, stack, column, ran);
      if (run.end == Kind::read && run.stack.size() <= depth && reading.insert(run.stack).second)
        work.push_back(run.stack);
    }
  }
  return ran;
}

// A bound below the longest plan cuts plans short with plain dispatches;
// builds with such a bound (CALC_MAX_PLAN_OPS) exist so that the engine's
// code for them runs, with no lookahead held there and (at the least bound)
// with one: the sanitizer suite builds with the least, the portable suite
// with the next. Every other way a plan ends runs at any bound.
TEST(Plans, ShortBoundEndsPlansInPlainDispatches) {
  const lalr::Automaton a = build_calculator();
  std::size_t longest = 0;
  for (const lalr::Plan& plan : a.plans) longest = std::max(longest, plan.size());
  EXPECT_LE(longest, static_cast<std::size_t>(CALC_MAX_PLAN_OPS));

  const Coverage ran = run_every_input(a, 8);
  struct Ending {
    const char* name;
    Kind kind;
    bool after_lookup, held;
  };
  std::vector<Ending> endings{{"a read", Kind::read, false, false},
                              {"accept", Kind::accept, false, true},
                              {"a syntax error", Kind::error, false, true},
                              {"a dispatch after a lookup, none held", Kind::dispatch, true, false},
                              {"a dispatch after a lookup, one held", Kind::dispatch, true, true}};
  if (CALC_MAX_PLAN_OPS < lalr::default_max_plan_ops)
    endings.push_back({"a plain dispatch, no lookahead held", Kind::dispatch, false, false});
  if (CALC_MAX_PLAN_OPS == lalr::min_plan_ops)
    endings.push_back({"a plain dispatch, a lookahead held", Kind::dispatch, false, true});
  for (const Ending& e : endings)
    EXPECT_TRUE(ran.endings[static_cast<int>(e.kind)][e.after_lookup][e.held])
        << "no plan ends in " << e.name;
}

}  // namespace
