// LALR(1) table builder: pure functions from a grammar to parse tables.
//
// `resolve` turns the textual grammar into symbols (grammar_symbols.cpp);
// `build` then runs the phases in order (build.cpp), each in its own file:
//   first     - nullable symbols and FIRST sets (first_sets.cpp)
//   lr0       - the LR(0) item sets and their transitions, numbered with the
//               states that have gotos first (lr0_states.cpp)
//   lookahead - LALR(1) lookaheads, propagated to a fixpoint (lookaheads.cpp)
//   actions   - shift / reduce / accept per state and terminal, conflicts
//               recorded; the default reductions; gotos chained through unit
//               rules (parse_actions.cpp)
//   plans     - what each step does as straight-line code (plans.cpp)
// and the results are checked against the encoding and written as C++
// (tables_writer.cpp) or as a report for a reader (report.cpp).
#pragma once

#include <bitset>
#include <cstdint>
#include <iosfwd>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "../grammar.hpp"
#include "../table_encoding.hpp"

namespace lalr {

using table_encoding::max_terminals;
using TerminalSet = std::bitset<max_terminals>;

struct Production {
  int lhs;
  std::vector<int> rhs;
  Action action;
};

struct Grammar {
  std::vector<std::string> names;  // symbol index -> name; terminals come first
  std::vector<int> token_codes;    // terminal index -> token code
  int terminal_count = 0;
  std::vector<Production> productions;  // 0 is the start rule: $accept -> start $end
  bool is_terminal(int symbol) const { return symbol < terminal_count; }
  int nonterminal_count() const { return static_cast<int>(names.size()) - terminal_count; }
};

struct Item {
  int rule;
  int dot;
  bool operator==(const Item&) const = default;
  friend bool operator<(Item a, Item b) {
    return a.rule != b.rule ? a.rule < b.rule : a.dot < b.dot;
  }
};

struct State {
  std::vector<Item> kernel;
  std::map<Item, TerminalSet> items;  // the closure, each item with its lookaheads
  std::map<int, int> transitions;     // symbol -> state
};

using table_encoding::accept_code;

struct Conflict {
  int state;
  int terminal;
  int kept;     // action kept in the table
  int dropped;  // action that lost
};

// One operation of a plan. A plan is what the engine does at one step (a
// state and a lookahead column) as straight-line code: every action the
// textbook engine would take from there that is the same on every stack the
// automaton can hold, up to a read, a dispatch on the state only known at
// run time, accept or a syntax error (plans.cpp).
struct PlanOp {
  enum class Kind : std::uint8_t {
    shift,          // push `state` with the token's value; the lookahead is used up
    reduce,         // reduce by `rule`; the goto (and its unit chain) lands in `state`
    reduce_lookup,  // reduce by `rule`; the goto is looked up below
    read,           // read a token, then dispatch on the state and its column
    dispatch,       // dispatch on the state and the lookahead's column
    accept,
    error,
  };
  Kind kind;
  int rule = 0;
  int state = 0;
  // clang-tidy 14 reads the defaulted comparison as a literal 0 pointer.
  auto operator<=>(const PlanOp&) const = default;  // NOLINT(modernize-use-nullptr)
};
using Plan = std::vector<PlanOp>;

struct Automaton {
  Grammar grammar;
  std::vector<State> states;
  std::vector<std::vector<int>> action;  // [state][terminal]
  std::vector<std::vector<int>> go_to;   // [state][nonterminal index]; -1 where none
  std::vector<int> default_rule;         // [state]; 0 where the state reads a lookahead
  std::vector<Conflict> conflicts;
  // [state][nonterminal][column]: the goto, then every reduction by a unit
  // rule without an action (a -> b, value passed through) that would follow
  // it with that lookahead column. Columns are the terminals, then one for a
  // token the grammar never uses and one for a lookahead not read yet; those
  // two follow default reductions only. Each such reduction pops one entry
  // and pushes one, so skipping them leaves the stack depth as it was.
  std::vector<std::vector<std::vector<int>>> chained_goto;
  // The plans, each once, and the plan of every step: [state][column].
  std::vector<Plan> plans;
  std::vector<std::vector<int>> step_plan;
  int unknown_column() const { return grammar.terminal_count; }
  int unread_column() const { return grammar.terminal_count + 1; }
};

// What the textbook engine does in `state` with the lookahead in `column`
// (textbook_step.hpp), as an operation: a shift (its state), a reduction
// (its rule; the goto is not looked up), a read, accept or a syntax error.
PlanOp textbook_op(const Automaton& automaton, int state, int column);

// A rule that only passes its one symbol's value on.
bool is_unit_pass(const Production& p);

// Turns the textual rules into symbols; a malformed rule is reported in `error`.
Grammar resolve(std::span<const GrammarRule> rules, std::span<const NamedToken> tokens,
                std::string& error);
// The most operations a plan holds, its last a dispatch when it reaches the
// bound. The calculator's longest plan has six, so the default never cuts
// one short; a small bound makes plans end in plain dispatches, which a test
// build uses so that the engine's code for them runs.
inline constexpr int default_max_plan_ops = 8;
inline constexpr int min_plan_ops = 2;  // one operation, then the dispatch
Automaton build(const Grammar& grammar, int max_plan_ops = default_max_plan_ops);

std::string item_text(const Grammar& grammar, Item item);
// A lookahead column: a terminal, or one of the engine's two extra columns.
std::string column_name(const Grammar& grammar, int column);
// A plan in words, one operation after another.
std::string plan_text(const Grammar& grammar, const Plan& plan);
// A readable account of every state: items with lookaheads, actions, gotos.
void write_report(const Automaton& automaton, std::ostream& out);
// What in the automaton the tables' encoding cannot hold (table_encoding.hpp),
// one line each; empty when the tables can be written. Terminals are checked
// earlier, by resolve.
std::string encoding_errors(const Automaton& automaton);
// The tables as C++ source for the parse engine.
void write_tables(const Automaton& automaton, std::ostream& out);

}  // namespace lalr
