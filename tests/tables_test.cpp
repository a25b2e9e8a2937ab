// The derived parse tables: conflict-free, default reductions only where a
// state can do nothing else, and the report a maintainer reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "grammar.hpp"
#include "process.hpp"
#include "tablegen/lalr.hpp"

namespace {

lalr::Automaton build_calculator() {
  std::string error;
  lalr::Grammar g = lalr::resolve(grammar, named_tokens, error);
  EXPECT_EQ(error, "");
  return lalr::build(g);
}

int terminal(const lalr::Grammar& g, std::string_view name) {
  for (int t = 0; t < g.terminal_count; ++t)
    if (g.names[t] == name) return t;
  return -1;
}

TEST(Tables, AreConflictFree) {
  EXPECT_TRUE(build_calculator().conflicts.empty());
}

// Every state can be reached from the start state: the automaton holds no
// state the engine could never be in.
TEST(Tables, EveryStateIsReachable) {
  lalr::Automaton a = build_calculator();
  std::vector<bool> reached(a.states.size(), false);
  std::vector<int> work{0};
  reached[0] = true;
  while (!work.empty()) {
    const int s = work.back();
    work.pop_back();
    for (const auto& [symbol, target] : a.states[s].transitions)
      if (!reached[target]) {
        reached[target] = true;
        work.push_back(target);
      }
  }
  for (std::size_t s = 0; s < a.states.size(); ++s) EXPECT_TRUE(reached[s]) << "state " << s;
}

TEST(Tables, DefaultReductionsOnlyInSingleReductionStates) {
  lalr::Automaton a = build_calculator();
  for (std::size_t s = 0; s < a.states.size(); ++s) {
    std::set<int> actions;
    for (int code : a.action[s])
      if (code != 0) actions.insert(code);
    if (a.default_rule[s] != 0) {
      EXPECT_EQ(actions, std::set<int>{-a.default_rule[s]}) << "state " << s;
    } else {
      EXPECT_FALSE(actions.size() == 1 && *actions.begin() < 0) << "state " << s;
    }
  }
}

// assign -> or_expr is reduced only before ';', which is what keeps an
// assignment from running before its statement is known to be complete.
TEST(Tables, AssignmentFromExpressionReducesOnlyBeforeSemicolon) {
  lalr::Automaton a = build_calculator();
  const int semicolon = terminal(a.grammar, "';'");
  int rule = 0;
  for (std::size_t r = 1; r < a.grammar.productions.size(); ++r)
    if (lalr::item_text(a.grammar, {static_cast<int>(r), -1}) == "assign -> or_expr")
      rule = static_cast<int>(r);
  ASSERT_NE(rule, 0);
  int states_reducing = 0;
  for (std::size_t s = 0; s < a.states.size(); ++s)
    for (int t = 0; t < a.grammar.terminal_count; ++t)
      if (a.action[s][t] == -rule) {
        EXPECT_EQ(t, semicolon);
        ++states_reducing;
      }
  EXPECT_GT(states_reducing, 0);
}

// A statement's rules (print, clear flags, append to the program) all run by
// default, so the outcome is written before the next token is read.
TEST(Tables, StatementsCompleteWithoutLookahead) {
  lalr::Automaton a = build_calculator();
  const lalr::Grammar& g = a.grammar;
  for (std::string_view rule : {"stmt -> assign ';'", "line -> stmt", "program -> program line",
                                "line -> DUMP ';'", "line -> CLEAR ';'"}) {
    bool found = false;
    for (std::size_t s = 0; s < a.states.size(); ++s)
      for (const auto& [item, lookahead] : a.states[s].items)
        if (item.dot == static_cast<int>(g.productions[item.rule].rhs.size()) &&
            lalr::item_text(g, {item.rule, -1}) == rule) {
          EXPECT_EQ(a.default_rule[s], item.rule) << rule;
          found = true;
        }
    EXPECT_TRUE(found) << rule;
  }
}

TEST(Tables, BuilderReportsConflictsAndBadRules) {
  const GrammarRule ambiguous[] = {{"e", "e '+' e", Action::pass}, {"e", "NUMBER", Action::pass}};
  std::string error;
  lalr::Automaton a = lalr::build(lalr::resolve(ambiguous, named_tokens, error));
  EXPECT_EQ(error, "");
  EXPECT_FALSE(a.conflicts.empty());

  const GrammarRule unknown[] = {{"e", "f NUMBER", Action::pass}};
  lalr::resolve(unknown, named_tokens, error);
  EXPECT_NE(error.find("unknown symbol f"), std::string::npos);

  // The engines skip an empty rule's action: the builder must refuse one.
  const GrammarRule acting_empty[] = {{"e", "", Action::clear}, {"e", "e NUMBER", Action::pass}};
  error.clear();
  lalr::resolve(acting_empty, named_tokens, error);
  EXPECT_NE(error.find("the empty rule for e has an action"), std::string::npos) << error;
}

// Tables too large for their byte-sized fields are refused, not truncated.
TEST(Tables, BuilderRefusesTablesItsEncodingCannotHold) {
  EXPECT_EQ(lalr::encoding_errors(build_calculator()), "");

  std::string long_rhs;
  for (int i = 0; i < 300; ++i) long_rhs += "NUMBER ";
  const GrammarRule long_rule[] = {{"e", long_rhs, Action::pass}};
  std::string error;
  const std::string too_long =
      lalr::encoding_errors(lalr::build(lalr::resolve(long_rule, named_tokens, error)));
  EXPECT_NE(too_long.find(" states, but the tables hold at most " +
                          std::to_string(table_encoding::max_states)),
            std::string::npos)
      << too_long;
  EXPECT_NE(too_long.find("300 symbols on a rule's right side"), std::string::npos) << too_long;

  const std::vector<GrammarRule> many_rules(300, {"e", "NUMBER", Action::pass});
  const std::string too_many =
      lalr::encoding_errors(lalr::build(lalr::resolve(many_rules, named_tokens, error)));
  EXPECT_NE(too_many.find("300 rules, but the tables hold at most " +
                          std::to_string(table_encoding::max_rules)),
            std::string::npos)
      << too_many;
}

// The report lists every state, once, with its default reduction where it
// has one and otherwise its actions and the syntax error for the rest.
TEST(Tables, ReportShowsEveryStateAndItsActions) {
  const lalr::Automaton a = build_calculator();
  std::ostringstream report;
  lalr::write_report(a, report);
  std::istringstream lines(report.str());
  std::vector<std::string> states;  // each state's part of the report
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("state ", 0) == 0) {
      states.push_back(line);
    } else if (!states.empty()) {
      states.back() += "\n" + line;
    }
  }
  ASSERT_EQ(states.size(), a.states.size());
  for (std::size_t s = 0; s < a.states.size(); ++s) {
    EXPECT_EQ(states[s].substr(0, states[s].find('\n')), "state " + std::to_string(s));
    const bool has_default = states[s].find("$default  reduce by rule") != std::string::npos;
    EXPECT_EQ(has_default, a.default_rule[s] != 0) << states[s];
    EXPECT_EQ(states[s].find("anything else  syntax error") != std::string::npos, !has_default)
        << states[s];
  }
  EXPECT_NE(report.str().find(std::to_string(a.states.size()) + " states, 0 conflicts"),
            std::string::npos);
}

// calc_trace follows HACKING.md's example through both engines: it ends in
// accept, and names every plan it runs as the builder's report does with
// this build's plan bound, one at least after each token read.
TEST(Tables, TraceOfTheExampleEndsInAcceptAndNamesItsPlansAsTheReportDoes) {
  const RunResult trace = run_program(CALC_TRACE_PATH, {"a = 2 * 3;"}, {});
  ASSERT_EQ(trace.status, 0) << trace.out << trace.err;
  EXPECT_TRUE(trace.out.ends_with(": accept\n")) << trace.out;
  std::string error;
  std::ostringstream report;
  lalr::write_report(lalr::build(lalr::resolve(grammar, named_tokens, error), CALC_MAX_PLAN_OPS),
                     report);
  std::istringstream lines(trace.out);
  int plans = 0, reads = 0;
  for (std::string line; std::getline(lines, line);) {
    reads += line.find("yylex() reads") != std::string::npos ? 1 : 0;
    if (const auto at = line.find("] = plan "); line.starts_with("plans engine: step_plan[")) {
      ++plans;
      EXPECT_NE(report.str().find(line.substr(at + 4) + "\n"), std::string::npos) << line;
    }
  }
  EXPECT_EQ(reads, 7);  // a = 2 * 3 ; and the end of input
  EXPECT_GE(plans, reads);
}

// Each textbook step of the trace shows the lookups the engine makes there:
// the state's default rule, as the tables hold it, and where that is 0 and a
// lookahead is held, its action.
TEST(Tables, TraceShowsTheLookupsOfEachTextbookStep) {
  const RunResult trace = run_program(CALC_TRACE_PATH, {"a = 2 * 3;"}, {});
  const lalr::Automaton a = build_calculator();
  std::istringstream lines(trace.out);
  int steps = 0;
  for (std::string line; std::getline(lines, line);) {
    int state = -1, rule = -1;
    if (std::sscanf(line.c_str(), " textbook engine: state %d: default_rule[%*d] = %d", &state,
                    &rule) != 2)
      continue;
    ++steps;
    ASSERT_GE(state, 0);
    ASSERT_LT(state, static_cast<int>(a.states.size()));
    EXPECT_EQ(rule, a.default_rule[state]) << line;
    const bool reads = line.find("no lookahead") != std::string::npos;
    EXPECT_EQ(line.find("; action[" + std::to_string(state) + "][") != std::string::npos,
              rule == 0 && !reads)
        << line;
  }
  EXPECT_GE(steps, 20);
}

// The states with gotos are numbered first, together: each nonterminal's
// rows of chained gotos then span only those states, not the ones between
// them that have none.
TEST(Tables, StatesWithGotosAreNumberedFirst) {
  const lalr::Automaton a = build_calculator();
  int first_without = -1;
  for (int s = 0; s < static_cast<int>(a.states.size()); ++s) {
    const auto& moves = a.states[s].transitions;
    const bool has_goto = std::any_of(moves.begin(), moves.end(), [&](const auto& move) {
      return !a.grammar.is_terminal(move.first);
    });
    if (!has_goto && first_without < 0) first_without = s;
    EXPECT_FALSE(has_goto && first_without >= 0) << "state " << s << " after " << first_without;
  }
}

}  // namespace
