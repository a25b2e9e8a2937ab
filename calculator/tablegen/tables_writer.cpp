// Phase "emit": the checks that the tables fit their encoding
// (table_encoding.hpp), and the tables written as C++ source for the engine.
#include <algorithm>
#include <ostream>
#include <sstream>
#include <string>

#include "lalr.hpp"

namespace lalr {
namespace {

// One plan operation as the engine's macro for it (plans_engine.cpp). A dispatch
// right after a looked-up goto has a macro of its own: there the engine can
// find the next step from the state below, without waiting for the goto.
std::string op_code(const PlanOp& op, const PlanOp* before) {
  switch (op.kind) {
    case PlanOp::Kind::shift: return "PARSE_PLAN_SHIFT(" + std::to_string(op.state) + ")";
    case PlanOp::Kind::reduce:
      return "PARSE_PLAN_REDUCE(" + std::to_string(op.rule) + ", " + std::to_string(op.state) + ")";
    case PlanOp::Kind::reduce_lookup:
      return "PARSE_PLAN_REDUCE_LOOKUP(" + std::to_string(op.rule) + ")";
    case PlanOp::Kind::read: return "PARSE_PLAN_READ";
    case PlanOp::Kind::dispatch:
      return before != nullptr && before->kind == PlanOp::Kind::reduce_lookup
                 ? "PARSE_PLAN_DISPATCH_AFTER_LOOKUP"
                 : "PARSE_PLAN_DISPATCH";
    case PlanOp::Kind::accept: return "PARSE_PLAN_ACCEPT";
    case PlanOp::Kind::error: return "PARSE_PLAN_ERROR";
  }
  return "";
}

// One line on each plan, from the first step (state, column) that runs it.
std::vector<std::string> plan_comments(const Automaton& a) {
  const Grammar& g = a.grammar;
  std::vector<std::string> comments(a.plans.size());
  std::vector<int> steps(a.plans.size(), 0);
  for (std::size_t s = 0; s < a.step_plan.size(); ++s)
    for (std::size_t column = 0; column < a.step_plan[s].size(); ++column) {
      const auto p = static_cast<std::size_t>(a.step_plan[s][column]);
      if (steps[p]++ > 0) continue;
      comments[p] = "state " + std::to_string(s) + " [" + item_text(g, a.states[s].kernel.front());
      if (a.states[s].kernel.size() > 1) comments[p] += " ...";
      comments[p] += "] on " + column_name(g, static_cast<int>(column));
    }
  for (std::size_t p = 0; p < a.plans.size(); ++p) {
    if (steps[p] > 1) comments[p] += " (and " + std::to_string(steps[p] - 1) + " more steps)";
    std::string rules;
    for (const PlanOp& op : a.plans[p])
      if (op.kind == PlanOp::Kind::reduce || op.kind == PlanOp::Kind::reduce_lookup)
        rules += (rules.empty() ? "" : ", ") + item_text(g, {op.rule, -1});
    if (!rules.empty()) comments[p] += ": reduces by " + rules;
  }
  return comments;
}

}  // namespace

std::string encoding_errors(const Automaton& a) {
  const Grammar& g = a.grammar;
  std::string errors;
  auto check = [&errors](std::size_t count, int limit, const char* what) {
    if (count > static_cast<std::size_t>(limit))
      errors += std::to_string(count) + " " + what + ", but the tables hold at most " +
                std::to_string(limit) + "\n";
  };
  check(static_cast<std::size_t>(g.nonterminal_count()), table_encoding::max_nonterminals,
        "nonterminals");
  check(g.productions.size() - 1, table_encoding::max_rules, "rules");
  check(a.states.size(), table_encoding::max_states, "states");
  check(a.plans.size(), table_encoding::max_plans, "plans");
  std::size_t longest = 0;
  for (const Production& p : g.productions) longest = std::max(longest, p.rhs.size());
  check(longest, table_encoding::max_rule_length, "symbols on a rule's right side");
  return errors;
}

void write_tables(const Automaton& a, std::ostream& out) {
  const Grammar& g = a.grammar;
  const int columns = a.unread_column() + 1;
  out << "// Parse tables derived from grammar.hpp by calc_tablegen. Generated; do not edit.\n"
         "#pragma once\n#include <cstdint>\n#include \"grammar.hpp\"\n\n"
         "namespace parse_tables {\n";
  out << "inline constexpr int state_count = " << a.states.size() << ";\n";
  out << "inline constexpr int terminal_count = " << g.terminal_count << ";\n";
  out << "inline constexpr int nonterminal_count = " << g.nonterminal_count() << ";\n";
  out << "inline constexpr int rule_count = " << g.productions.size() << ";\n";
  out << "inline constexpr int plan_count = " << a.plans.size() << ";\n";
  out << "// Lookahead columns: the terminals, then these two.\n";
  out << "inline constexpr int unknown_column = " << a.unknown_column() << ";\n";
  out << "inline constexpr int unread_column = " << a.unread_column() << ";\n\n";

  std::vector<int> token_class(TOKEN_CODE_LIMIT, a.unknown_column());
  for (int t = 0; t < g.terminal_count; ++t) token_class[g.token_codes[t]] = t;
  out << "// token code -> lookahead column\n"
         "inline constexpr std::uint8_t token_class["
      << TOKEN_CODE_LIMIT << "] = {";
  for (std::size_t i = 0; i < token_class.size(); ++i)
    out << (i % 24 == 0 ? "\n   " : "") << " " << token_class[i] << ",";
  out << "\n};\n\n";

  out << "// [state][column]: the plan of each step\n"
         "inline constexpr std::uint16_t step_plan["
      << a.states.size() << "][" << columns << "] = {\n";
  for (const std::vector<int>& row : a.step_plan) {
    out << "    {";
    for (int plan : row) out << plan << ",";
    out << "},\n";
  }
  out << "};\n\n";

  out << "// The textbook engine's tables. [state][terminal]: the action on that lookahead\n"
         "// (table_encoding.hpp).\n"
         "inline constexpr std::int16_t action["
      << a.states.size() << "][" << g.terminal_count << "] = {\n";
  for (const std::vector<int>& row : a.action) {
    out << "    {";
    for (int code : row) out << code << ",";
    out << "},\n";
  }
  out << "};\n\n";
  out << "// [state]: the rule a state reduces by without reading a lookahead; 0 for none.\n"
         "inline constexpr std::uint8_t default_rule[] = {";
  for (std::size_t s = 0; s < a.states.size(); ++s)
    out << (s % 24 == 0 ? "\n   " : "") << " " << a.default_rule[s] << ",";
  out << "\n};\n\n";
  out << "// [state][nonterminal]: the state after reducing to that nonterminal. 255 for none.\n"
         "inline constexpr std::uint8_t go_to["
      << a.states.size() << "][" << g.nonterminal_count() << "] = {\n";
  for (const std::vector<int>& row : a.go_to) {
    out << "    {";
    for (int target : row) out << (target < 0 ? 255 : target) << ",";
    out << "},\n";
  }
  out << "};\n\n";

  // Each nonterminal's rows: the states from the first with a goto on it to the last.
  std::vector<int> first(g.nonterminal_count(), 0), start(g.nonterminal_count() + 1, 0);
  for (int n = 0; n < g.nonterminal_count(); ++n) {
    int last = -1;
    for (int s = static_cast<int>(a.states.size()) - 1; s >= 0; --s)
      if (a.go_to[s][n] >= 0) {
        if (last < 0) last = s;
        first[n] = s;
      }
    start[n + 1] = start[n] + last + 1 - first[n];
  }
  out << "// The plans engine's gotos. Nonterminal n has a row for each state s from\n"
         "// goto_first_state[n] to the last with a goto on n, from row goto_first_row[n]\n"
         "// on (up to goto_first_row[n + 1]): chained_goto[goto_first_row[n] + s -\n"
         "// goto_first_state[n]][column] is the state after reducing to n with s below\n"
         "// and then through the unit rules the lookahead in that column triggers; 255\n"
         "// for none. States with gotos are numbered first, so the rows are few.\n"
         "inline constexpr std::uint8_t goto_first_state[] = {";
  for (int state : first) out << " " << state << ",";
  out << "};\ninline constexpr std::uint16_t goto_first_row[] = {";
  for (int row : start) out << " " << row << ",";
  out << "};\ninline constexpr std::uint8_t chained_goto[" << start.back() << "][" << columns
      << "] = {\n";
  for (int n = 0; n < g.nonterminal_count(); ++n) {
    if (start[n + 1] > start[n]) out << "    // " << g.names[g.terminal_count + n] << "\n";
    for (int s = first[n]; s < first[n] + start[n + 1] - start[n]; ++s) {
      out << "    {";
      for (int target : a.chained_goto[s][n]) out << (target < 0 ? 255 : target) << ",";
      out << "},\n";
    }
  }
  out << "};\n\n";

  std::ostringstream lhs, length, action;
  for (const Production& p : g.productions) {
    lhs << " " << (p.lhs - g.terminal_count) << ",";
    length << " " << p.rhs.size() << ",";
    action << " static_cast<Action>(" << static_cast<int>(p.action) << "),";
  }
  out << "// [rule]: left side (nonterminal index), right side length, action\n";
  out << "inline constexpr std::uint8_t rule_lhs[] = {" << lhs.str() << "};\n";
  out << "inline constexpr std::uint8_t rule_length[] = {" << length.str() << "};\n";
  out << "inline constexpr Action rule_action[] = {" << action.str() << "};\n";
  out << "}  // namespace parse_tables\n\n";

  out << "// Every plan: its number and its operations, for the engine to expand into\n"
         "// straight-line code (the PARSE_PLAN_ macros are the engine's). Above each, the\n"
         "// first step that runs it: the state's first kernel item, the lookahead, and\n"
         "// the rules the plan reduces by.\n"
         "#define PARSE_TABLES_FOR_EACH_PLAN(X)";
  const std::vector<std::string> comments = plan_comments(a);
  for (std::size_t p = 0; p < a.plans.size(); ++p) {
    out << " \\\n  /* " << comments[p] << " */ \\\n  X(" << p << ",";
    const Plan& plan = a.plans[p];
    for (std::size_t i = 0; i < plan.size(); ++i)
      out << " " << op_code(plan[i], i > 0 ? &plan[i - 1] : nullptr);
    out << ")";
  }
  out << "\n";
}

}  // namespace lalr
