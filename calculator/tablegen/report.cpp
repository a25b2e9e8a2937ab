// The builder's report: every rule, then every state with its items,
// lookaheads, actions and gotos, for a reader.
#include <ostream>
#include <string>

#include "phases.hpp"

namespace lalr {
namespace {

std::string terminal_list(const Grammar& g, const TerminalSet& set) {
  std::string text;
  for (int t = 0; t < g.terminal_count; ++t) {
    if (!set.test(t)) continue;
    if (!text.empty()) text += ' ';
    text += g.names[t];
  }
  return text;
}

std::string action_text(const Grammar& g, int code) {
  if (code == accept_code) return "accept";
  if (code > 0) return "shift, go to state " + std::to_string(code);
  const Production& p = g.productions[-code];
  return "reduce by rule " + std::to_string(-code) + " (" + g.names[p.lhs] + ")";
}

}  // namespace

std::string column_name(const Grammar& g, int column) {
  if (column < g.terminal_count) return g.names[column];
  return column == g.terminal_count ? "(unknown token)" : "(not read)";
}

std::string plan_text(const Grammar& g, const Plan& plan) {
  std::string text;
  for (const PlanOp& op : plan) {
    if (!text.empty()) text += ", ";
    switch (op.kind) {
      case PlanOp::Kind::shift: text += "shift to " + std::to_string(op.state); break;
      case PlanOp::Kind::reduce:
        text += "reduce by " + std::to_string(op.rule) + " (" +
                g.names[g.productions[op.rule].lhs] + ") to " + std::to_string(op.state);
        break;
      case PlanOp::Kind::reduce_lookup:
        text += "reduce by " + std::to_string(op.rule) + " (" +
                g.names[g.productions[op.rule].lhs] + "), goto looked up";
        break;
      case PlanOp::Kind::read: text += "read"; break;
      case PlanOp::Kind::dispatch: text += "dispatch"; break;
      case PlanOp::Kind::accept: text += "accept"; break;
      case PlanOp::Kind::error: text += "syntax error"; break;
    }
  }
  return text;
}

std::string item_text(const Grammar& g, Item item) {
  const Production& p = g.productions[item.rule];
  std::string text = g.names[p.lhs] + " ->";
  for (std::size_t i = 0; i <= p.rhs.size(); ++i) {
    if (static_cast<int>(i) == item.dot) text += " .";
    if (i < p.rhs.size()) text += " " + g.names[p.rhs[i]];
  }
  return text;
}

void write_report(const Automaton& a, std::ostream& out) {
  const Grammar& g = a.grammar;
  out << "Grammar\n";
  for (std::size_t r = 1; r < g.productions.size(); ++r)
    out << "  " << r << "  " << item_text(g, {static_cast<int>(r), -1}) << "\n";
  out << "\n" << a.states.size() << " states, " << a.conflicts.size() << " conflicts\n";
  for (const Conflict& c : a.conflicts)
    out << "conflict in state " << c.state << " on " << g.names[c.terminal] << ": "
        << action_text(g, c.kept) << " against " << action_text(g, c.dropped) << "\n";
  for (std::size_t s = 0; s < a.states.size(); ++s) {
    out << "\nstate " << s << "\n";
    for (const auto& [item, lookahead] : a.states[s].items) {
      out << "    " << item_text(g, item);
      if (next_symbol(g, item) < 0) out << "   [" << terminal_list(g, lookahead) << "]";
      out << "\n";
    }
    out << "\n";
    if (a.default_rule[s] != 0) {
      out << "    $default  " << action_text(g, -a.default_rule[s]) << "\n";
    } else {
      for (int t = 0; t < g.terminal_count; ++t)
        if (a.action[s][t] != 0)
          out << "    " << g.names[t] << "  " << action_text(g, a.action[s][t]) << "\n";
      out << "    anything else  syntax error\n";
    }
    for (int nt = 0; nt < g.nonterminal_count(); ++nt)
      if (a.go_to[s][nt] >= 0)
        out << "    " << g.names[g.terminal_count + nt] << "  go to state " << a.go_to[s][nt]
            << "\n";
    if (a.step_plan.empty()) continue;
    out << "\n    plans:\n";
    for (int column = 0; column <= a.unread_column(); ++column)
      out << "    " << column_name(g, column) << "  plan " << a.step_plan[s][column] << ": "
          << plan_text(g, a.plans[a.step_plan[s][column]]) << "\n";
  }
}

}  // namespace lalr
